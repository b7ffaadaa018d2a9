#include "platform/posix/trash_info.h"

#include <cstdio>
#include <random>
#include <string>

#include "platform/codepage.h"

namespace platform {

namespace {

bool IsKeptAsIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
           byte == '~' || byte == '/';
}

// An extension longer than this is taken as part of the name when the name must be shortened.
constexpr std::size_t kMaxKeptExtension = 32;

// The longest start of `text` that fits `limit` bytes and ends between two characters.
std::string_view CutToCharacters(std::string_view text, std::size_t limit) {
    const CodePage& codePage = SystemCodePage();
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + codePage.CharLength(text, end);
        if (next > limit) {
            break;
        }
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace

std::string PercentEncodePath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsKeptAsIs(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string TrashInfoText(std::string_view encodedPath, std::time_t deletionTime) {
    std::tm local{};
    localtime_r(&deletionTime, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::string text = "[Trash Info]\nPath=";
    text += encodedPath;
    text += "\nDeletionDate=";
    text += date;
    text += '\n';
    return text;
}

std::string TrashNameSuffix(int attempt, const std::function<std::uint32_t()>& random) {
    if (attempt == 0) {
        return {};
    }
    if (attempt < kNumberedTrashNames) {
        return "." + std::to_string(attempt + 1);
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, ".%08x", static_cast<unsigned>(random()));
    return hex;
}

std::uint32_t RandomTrashNameNumber() {
    // One generator per thread: the window and a bulk delete may trash files at the same time.
    thread_local std::mt19937 generator{std::random_device{}()};
    return static_cast<std::uint32_t>(generator());
}

std::string TrashedName(std::string_view name, std::string_view suffix) {
    const std::size_t limit = kMaxNameBytes - kTrashInfoExtension.size();

    // The suffix goes before the extension so that the trashed file keeps its type. A name that
    // starts with its only "." (".profile") has no extension.
    const std::size_t dot = SystemCodePage().FindLast(name, '.');
    const bool hasExtension =
        dot != std::string_view::npos && dot > 0 && name.size() - dot <= kMaxKeptExtension;
    const std::string_view extension = hasExtension ? name.substr(dot) : std::string_view();
    std::string_view stem = name.substr(0, name.size() - extension.size());

    if (stem.size() + suffix.size() + extension.size() > limit) {
        stem = CutToCharacters(stem, limit - suffix.size() - extension.size());
    }
    std::string trashed(stem);
    trashed += suffix;
    trashed += extension;
    return trashed;
}

}  // namespace platform
