#include "testing/Mutator.h"

#include <algorithm>
#include <cstring>

namespace TestSupport {

namespace {

enum Kind { BitFlip, Truncate, Field32, Field7Bit, Duplicate, Swap, BadUtf8, BadXml, Combined, KindCount };

const char* const KindNames[KindCount] = {"bit flip",  "truncation", "32-bit field", "7-bit length", "duplicated block",
                                          "swapped blocks", "invalid UTF-8", "broken XML", "combined"};

const int32_t FieldValues[] = {0, -1, 1, 0x7FFFFFFF, static_cast<int32_t>(0x80000000), 0x40000000, 0x00FFFFFF, 65536};

const char* const Utf8Damage[] = {"\xC0\x80", "\xFF", "\xED\xA0\x80", "\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xEF\xBB\xBF", "\0"};

const char* const XmlDamage[] = {"<", ">", "&", "&#0;", "&bogus;", "]]>", "</", "<a>", "</a>", "<!--", "<?xml version=\"1.0\"?>",
                                 "<!DOCTYPE a [<!ENTITY e \"eeeeeeeeee\">]>", "\" x=\"", "<![CDATA[", "xmlns:p=\"\"", "<p:q>"};

}  // namespace

uint64_t Mutator::Next()
{
    // splitmix64: the same numbers for the same seed with every compiler and library.
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string Mutator::Mutate(const std::string& input)
{
    std::string bytes = input;
    int kind = static_cast<int>(turn_++ % KindCount);
    lastKind_ = KindNames[kind];
    if (kind == Combined) {
        for (size_t steps = 2 + Below(3); steps > 0; --steps) Apply(static_cast<int>(Below(Combined)), bytes);
    } else {
        Apply(kind, bytes);
    }
    return bytes;
}

void Mutator::Apply(int kind, std::string& bytes)
{
    size_t size = bytes.size();
    switch (kind) {
    case BitFlip:
        if (size == 0) break;
        for (size_t flips = 1 + Below(8); flips > 0; --flips) bytes[Below(size)] ^= static_cast<char>(1u << Below(8));
        break;
    case Truncate: {
        // Empty, a few bytes, inside the first block, about half, one short of whole, anywhere.
        size_t lengths[] = {0, std::min<size_t>(size, 1 + Below(4)), std::min<size_t>(size, Below(64)), size / 2,
                            size ? size - 1 : 0, Below(size + 1)};
        bytes.resize(lengths[Below(6)]);
        break;
    }
    case Field32: {
        if (size < 4) break;
        // Length and count fields of the binary files sit on 4-byte boundaries more often than not.
        size_t at = Below(2) ? Below(size / 4) * 4 : Below(size - 3);
        int32_t value = FieldValues[Below(sizeof FieldValues / sizeof FieldValues[0])];
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
        break;
    }
    case Field7Bit: {
        if (size == 0) break;
        static const char* const lengths[] = {"\x00", "\x7F", "\xFF\xFF\xFF\xFF\x07", "\xFF\xFF\xFF\xFF\x0F", "\x80\x80\x80\x80\x80", "\xFF\x01"};
        static const size_t sizes[] = {1, 1, 5, 5, 5, 2};
        size_t which = Below(6);
        size_t at = Below(size);
        bytes.replace(at, std::min(sizes[which], size - at), lengths[which], sizes[which]);
        break;
    }
    case Duplicate: {
        if (size == 0) break;
        size_t start = Below(size);
        size_t length = 1 + Below(std::min<size_t>(size - start, 256));
        bytes.insert(Below(size + 1), bytes.substr(start, length));
        break;
    }
    case Swap: {
        if (size < 2) break;
        size_t length = 1 + Below(std::min<size_t>(size / 2, 128));
        size_t first = Below(size - 2 * length + 1);
        size_t second = first + length + Below(size - first - 2 * length + 1);
        std::string a = bytes.substr(first, length);
        std::string b = bytes.substr(second, length);
        bytes.replace(second, length, a);
        bytes.replace(first, length, b);
        break;
    }
    case BadUtf8: {
        const char* damage = Utf8Damage[Below(sizeof Utf8Damage / sizeof Utf8Damage[0])];
        size_t length = damage[0] ? std::strlen(damage) : 1;
        size_t at = Below(size + 1);
        if (Below(2) && at < size) {
            bytes.replace(at, std::min(length, size - at), damage, length);
        } else {
            bytes.insert(at, damage, length);
        }
        break;
    }
    case BadXml: {
        const char* damage = XmlDamage[Below(sizeof XmlDamage / sizeof XmlDamage[0])];
        // Markup characters are where damage hurts most: aim at one when there is one near.
        size_t at = Below(size + 1);
        size_t markup = bytes.find_first_of("<>\"&", at);
        if (markup != std::string::npos && Below(2)) at = markup;
        if (Below(3) == 0 && at < size) {
            bytes.erase(at, 1);
        } else {
            bytes.insert(at, damage);
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace TestSupport
