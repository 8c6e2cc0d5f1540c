#include "scr/settings/ini_file.h"

#include <cstdint>

#include "scr/settings/cp932.h"
#include "scr/settings/settings.h"

namespace gelmo {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
// The program's keys as UTF-8 (the same order as kSettingsKeys).
constexpr std::string_view kUtf8Keys[] = {
    "OBJ\xE5\x8C\xBA\xE5\x88\x86",                     // OBJ区分
    "OBJ\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99",      // OBJﾌｧｲﾙ
    "BACK\xE5\x8C\xBA\xE5\x88\x86",                    // BACK区分
    "BACK\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99",     // BACKﾌｧｲﾙ
    "BACK\xEF\xBD\xB6\xEF\xBE\x97\xEF\xBD\xB0",        // BACKｶﾗｰ
    "BGM\xE5\x8C\xBA\xE5\x88\x86",                     // BGM区分
    "BGM\xEF\xBE\x98\xEF\xBE\x8B\xEF\xBE\x9F\xEF\xBD\xB0\xEF\xBE\x84",  // BGMﾘﾋﾟｰﾄ
    "BGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99",      // BGMﾌｧｲﾙ
    "\xE5\x85\xA8\xE7\x94\xBB\xE9\x9D\xA2",            // 全画面
    "\xEF\xBD\xBD\xEF\xBE\x97\xEF\xBD\xB2\xEF\xBE\x84\xEF\xBE\x9E\xEF\xBE\x8C\xEF\xBD\xAB\xEF\xBE\x99\xEF\xBE\x80\xEF\xBE\x9E",  // ｽﾗｲﾄﾞﾌｫﾙﾀﾞ
    "\xEF\xBD\xBD\xEF\xBE\x97\xEF\xBD\xB2\xEF\xBE\x84\xEF\xBE\x9E\xE9\x96\x93\xE9\x9A\x94",  // ｽﾗｲﾄﾞ間隔
    "BGM\xEF\xBE\x8C\xEF\xBD\xAB\xEF\xBE\x99\xEF\xBE\x80\xEF\xBE\x9E",  // BGMﾌｫﾙﾀﾞ
};
static_assert(std::size(kUtf8Keys) == kSettingsKeys.size());

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Equal but for the case of ASCII letters that are characters of their own:
// the second byte of a double-byte character is compared as it is.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t pos = 0; pos < a.size();) {
    const std::size_t bytes = Cp932CharBytes(a, pos);
    if (bytes != Cp932CharBytes(b, pos)) return false;
    if (bytes == 2) {
      if (a.compare(pos, 2, b, pos, 2) != 0) return false;
    } else {
      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
      if (lower(a[pos]) != lower(b[pos])) return false;
    }
    pos += bytes;
  }
  return true;
}

// The name of a section line "[name]", or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const std::size_t end = line.find(']');
  return Trim(end == std::string_view::npos ? line : line.substr(0, end));
}

// The key of a line "key=value"; nothing for a line without "=".
std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

bool LooksLikeUtf8Settings(std::string_view bytes) {
  if (!IsValidUtf8(bytes)) return false;
  for (std::string_view key : kUtf8Keys)
    if (bytes.find(key) != std::string_view::npos) return true;
  return false;
}

// The text after its UTF-8 byte-order marks: an editor may have put one in
// front of one that was already there.
std::string_view WithoutUtf8Marks(std::string_view text) {
  while (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
  return text;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | code >> 6);
    out += char(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += char(0xE0 | code >> 12);
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xF0 | code >> 18);
    out += char(0x80 | (code >> 12 & 0x3F));
    out += char(0x80 | (code >> 6 & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? std::uint32_t(first << 8 | second) : std::uint32_t(second << 8 | first);
  };
  std::string utf8;
  utf8.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t code = unit(i);
    if (code == 0 || (code >= 0xDC00 && code <= 0xDFFF)) return std::nullopt;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return std::nullopt;
      const std::uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(utf8, code);
  }
  return utf8;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t n;
    unsigned int code;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3, code = c & 0x07;
    } else {
      return false;
    }
    if (i + n >= text.size()) return false;  // the sequence runs past the end
    for (std::size_t k = 1; k <= n; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = code << 6 | (t & 0x3F);
    }
    const bool overlongOrSurrogate = n == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF));
    if (overlongOrSurrogate || (n == 3 && (code < 0x10000 || code > 0x10FFFF))) return false;
    i += n + 1;
  }
  return true;
}

IniFile IniFile::Parse(std::string_view bytes, const Utf8ToCp932& toCp932) {
  std::string converted;
  IniFile file;
  const std::string_view mark = bytes.substr(0, 2);
  if (mark == kUtf16LeMark || mark == kUtf16BeMark) {
    const std::optional<std::string> utf8 = Utf16ToUtf8(bytes.substr(2), mark == kUtf16BeMark);
    if (utf8) {
      converted = toCp932(WithoutUtf8Marks(*utf8));
    }
    if (!utf8 || converted.find('\0') != std::string::npos) {
      file.unreadable_ = true;
      return file;
    }
    bytes = converted;
  } else if (bytes.find('\0') != std::string_view::npos) {
    file.unreadable_ = true;
    return file;
  } else if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    converted = toCp932(WithoutUtf8Marks(bytes));
    bytes = converted;
  } else if (LooksLikeUtf8Settings(bytes)) {
    converted = toCp932(bytes);
    bytes = converted;
  }
  // Lines end with CR LF, LF or a lone CR; the last one may have no end.
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      file.lines_.emplace_back(bytes.substr(start));
      break;
    }
    file.lines_.emplace_back(bytes.substr(start, end - start));
    start = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
  }
  return file;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (auto name = SectionName(lines_[i]); name && SameName(*name, Trim(section))) return i;
  return std::nullopt;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const std::optional<std::size_t> head = FindSection(section);
  if (!head) return std::nullopt;
  for (std::size_t i = *head + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
    const std::optional<std::string_view> name = KeyOf(lines_[i]);
    if (!name || !SameName(*name, Trim(key))) continue;
    std::string_view value = Trim(std::string_view(lines_[i]).substr(lines_[i].find('=') + 1));
    // One pair of matching quotes around the value is not part of it.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    return std::string(value);
  }
  return std::nullopt;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  const std::optional<std::size_t> head = FindSection(section);
  if (!head) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
    return;
  }
  std::size_t last = *head;  // the section's last line that is not blank
  for (std::size_t i = *head + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
    if (const std::optional<std::string_view> name = KeyOf(lines_[i]); name && SameName(*name, Trim(key))) {
      lines_[i] = std::move(line);
      return;
    }
    if (!Trim(lines_[i]).empty()) last = i;
  }
  lines_.insert(lines_.begin() + std::ptrdiff_t(last + 1), std::move(line));
}

std::string IniFile::Bytes() const {
  std::string bytes;
  for (const std::string& line : lines_) bytes += line + "\r\n";
  return bytes;
}

}  // namespace gelmo
