#include "platform/shadowed_stores.h"

namespace quellgate {
namespace {

// The reasons of a double failure in the order the places are named.
template <typename Shared, typename Own>
Outcome WhereItWillBeRead(bool ownCopy, const Shared& shared, const Own& own) {
    if (ownCopy) return own();
    Outcome first = shared();
    if (first || !first.refused()) return first;
    Outcome second = own();
    if (second) return second;
    return Outcome::Failure(first.reason() + "; " + second.reason());
}

}  // namespace

std::optional<std::string> ShadowedSettings::Read(std::string_view name) const {
    return own_.Holds(name) ? own_.Read(name) : shared_.Read(name);
}

bool ShadowedSettings::Holds(std::string_view name) const { return own_.Holds(name) || shared_.Holds(name); }

Outcome ShadowedSettings::Write(std::string_view name, std::string_view text) {
    return WhereItWillBeRead(
        own_.Holds(name), [&] { return shared_.Write(name, text); }, [&] { return own_.Write(name, text); });
}

Outcome ShadowedSettings::Readable() const {
    Outcome shared = shared_.Readable();
    return shared ? own_.Readable() : shared;
}

std::string ShadowedSettings::Location() const {
    return shared_.Location() + " or, for this account, " + own_.Location();
}

std::string ShadowedFiles::PathOf(std::string_view name) const {
    return own_.Exists(name) ? own_.PathOf(name) : shared_.PathOf(name);
}

FileStore::ReadResult ShadowedFiles::Read(std::string_view name) const {
    return own_.Exists(name) ? own_.Read(name) : shared_.Read(name);
}

bool ShadowedFiles::Exists(std::string_view name) const { return own_.Exists(name) || shared_.Exists(name); }

Outcome ShadowedFiles::Replace(std::string_view name, std::string_view content) {
    return WhereItWillBeRead(
        own_.Exists(name), [&] { return shared_.Replace(name, content); },
        [&] { return own_.Replace(name, content); });
}

}  // namespace quellgate
