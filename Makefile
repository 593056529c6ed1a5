# Set-up and everyday commands. Each target installs what is missing first.
BUILD := build
WINDOWS_BUILD := $(BUILD)/windows
WINE_SESSION := cmake/with-wine-session.sh $(WINDOWS_BUILD)
VERSION := $(shell grep -m1 -o 'Tovask VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)

.PHONY: all deps native windows build test run screenshots bench release format clean

all: build

deps:
	@cmake/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

build: native windows

# One ctest run over both build trees, so that one summary closes the output.
test: build
	@printf 'subdirs("native" "windows")\n' > $(BUILD)/CTestTestfile.cmake
	@$(WINE_SESSION) ctest --test-dir $(BUILD) -j2 --output-on-failure

run: windows
	@$(WINE_SESSION) cmake/run-program.sh $(WINDOWS_BUILD)

# DPI=120 or DPI=144 shows the window as at 125 % or 150 %.
screenshots: windows
	@DPI="$(DPI)" $(WINE_SESSION) cmake/take-screenshots.sh $(WINDOWS_BUILD)

bench: build
	@$(WINE_SESSION) cmake/run-benchmarks.sh $(BUILD)

# The download: build/release/Tovask-$(VERSION).zip. The program is signed
# when SIGN_CERT and SIGN_KEY (make variables or environment) name a
# certificate and its private key, which never belong in the repository.
release: windows
	@SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" cmake/make-release.sh \
		$(WINDOWS_BUILD)/app/Tovask.exe docs/LEEME.txt $(VERSION) $(BUILD)/release

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
