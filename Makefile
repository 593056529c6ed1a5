# Set-up and everyday commands. Each target installs what is missing first.
BUILD := build
WINDOWS_BUILD := $(BUILD)/windows
VERSION := $(shell grep -m1 -o 'Tovask VERSION [0-9.]*' CMakeLists.txt | cut -d' ' -f3)

# The build whose programs Wine runs here: the shipped 32-bit one, or, where
# this machine cannot run 32-bit programs, a 64-bit build of the same code,
# which then builds and runs the Windows tests. Asked only once deps has
# installed Wine (recipes are expanded after their prerequisites are made).
WINE_PRESET = $(shell cmake/wine-tests-preset.sh)
WINE_BUILD = $(BUILD)/$(WINE_PRESET)
WINE_SESSION = cmake/with-wine-session.sh $(WINE_BUILD)

.PHONY: all deps native windows build test run screenshots bench release format clean

all: build

deps:
	@cmake/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

# The program that ships is always the 32-bit build's.
windows: deps
	@preset=$(WINE_PRESET); \
	cmake --preset windows -DTOVASK_WINE_TESTS=$$([ $$preset = windows ] && echo ON || echo OFF) \
		>/dev/null && \
	cmake --build --preset windows && \
	if [ $$preset != windows ]; then \
		cmake --preset $$preset >/dev/null && cmake --build --preset $$preset; \
	fi

build: native windows

# One ctest run over every build tree, so that one summary closes the output.
test: build
	@printf 'subdirs(%s)\n' '$(sort "native" "windows" "$(WINE_PRESET)")' > $(BUILD)/CTestTestfile.cmake
	@$(WINE_SESSION) ctest --test-dir $(BUILD) -j2 --output-on-failure

run: windows
	@$(WINE_SESSION) cmake/run-program.sh $(WINE_BUILD)

# DPI=120 or DPI=144 shows the window as at 125 % or 150 %.
screenshots: windows
	@DPI="$(DPI)" $(WINE_SESSION) cmake/take-screenshots.sh $(WINE_BUILD)

bench: build
	@$(WINE_SESSION) cmake/run-benchmarks.sh $(WINE_BUILD) $(WINDOWS_BUILD)/app/Tovask.exe

# The download: build/release/Tovask-$(VERSION).zip. The program is signed
# when SIGN_CERT and SIGN_KEY (make variables or environment) name a
# certificate and its private key, which never belong in the repository.
release: windows
	@SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" cmake/make-release.sh \
		$(WINDOWS_BUILD)/app/Tovask.exe $(WINDOWS_BUILD)/LEEME.txt $(VERSION) $(BUILD)/release

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
