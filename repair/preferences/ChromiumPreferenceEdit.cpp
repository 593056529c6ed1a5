#include <optional>
#include <utility>

#include "repair/preferences/ChromiumJson.h"
#include "repair/preferences/ChromiumPreferences.h"

namespace tovask {
namespace {

// What the reader passes over between the parts of a JSON text.
constexpr std::string_view kJsonBlanks = " \t\n\r";

// Bytes left out of the text.
struct Cut {
    std::size_t begin;
    std::size_t end;
};

// Finds, as the text is read, the bytes that removing the members at the
// paths takes: each run of removed members in an object, with the comma that
// joined it to the members kept. Only the objects on the way to a path are
// followed, so that the rest of a large file costs one look at each name.
class MemberRemover : public ChromiumJsonEvents {
  public:
    MemberRemover(std::string_view text, std::span<const PreferencePath> paths)
        : text_(text), paths_(paths) {}

    // In the text's order, none within another.
    std::vector<Cut> cuts;

    void enter(bool array) override {
        Container entered;
        if (containers_.empty()) {
            for (std::size_t at = 0; at < paths_.size(); ++at) {
                if (!paths_[at].empty()) {
                    entered.towards.push_back(at);
                }
            }
        } else if (!array) {
            entered.towards = std::exchange(containers_.back().memberTowards, {});
        }
        containers_.push_back(std::move(entered));
    }

    void key(std::string_view name, std::size_t start) override {
        auto& object = containers_.back();
        if (object.towards.empty()) {
            return;
        }
        const auto depth = containers_.size() - 1;
        bool removed = false;
        object.memberTowards.clear();
        for (const auto at : object.towards) {
            if (paths_[at][depth] == name) {
                removed |= paths_[at].size() == depth + 1;
                object.memberTowards.push_back(at);
            }
        }
        if (removed) {
            // Nothing within a removed member is followed.
            object.memberTowards.clear();
            object.removedFrom = object.removedFrom.value_or(start);
        } else {
            if (object.removedFrom) {
                cuts.push_back({*object.removedFrom, start});
                object.removedFrom.reset();
            }
            object.kept = true;
        }
    }

    // The reader has checked the text up to the closing bracket: the commas
    // and blanks between the members are where they must be.
    void leave(std::size_t closing) override {
        const auto& object = containers_.back();
        if (object.removedFrom) {
            // The last members go, and the comma after the last one kept.
            const auto from = object.kept ? valueEndBefore(commaBefore(*object.removedFrom))
                                          : *object.removedFrom;
            cuts.push_back({from, valueEndBefore(closing)});
        }
        containers_.pop_back();
    }

  private:
    struct Container {
        // The paths that lead through the object: their index in `paths_`.
        std::vector<std::size_t> towards;
        // Those that lead through the value of its current member.
        std::vector<std::size_t> memberTowards;
        // Where the run of removed members since the last kept one starts.
        std::optional<std::size_t> removedFrom;
        bool kept = false;
    };

    std::size_t commaBefore(std::size_t name) const {
        return text_.find_last_not_of(kJsonBlanks, name - 1);
    }
    std::size_t valueEndBefore(std::size_t mark) const {
        return text_.find_last_not_of(kJsonBlanks, mark - 1) + 1;
    }

    std::string_view text_;
    std::span<const PreferencePath> paths_;
    std::vector<Container> containers_;
};

}  // namespace

std::optional<std::string> withoutPreferences(std::string_view json,
                                              std::span<const PreferencePath> paths) {
    MemberRemover remover(json, paths);
    if (std::string scanned(json); !readChromiumJson(scanned, remover)) {
        return std::nullopt;
    }
    std::string edited;
    edited.reserve(json.size());
    std::size_t keptFrom = 0;
    for (const auto& cut : remover.cuts) {
        edited.append(json.substr(keptFrom, cut.begin - keptFrom));
        keptFrom = cut.end;
    }
    edited.append(json.substr(keptFrom));
    return edited;
}

}  // namespace tovask
