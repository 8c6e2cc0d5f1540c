#include "scr/forms/text_win.h"

namespace gelmo::forms {

constexpr UINT kCodePage = 932;

namespace {

std::wstring Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int units = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), nullptr, 0);
  std::wstring text(std::size_t(units), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), text.data(), units);
  return text;
}

std::string ToCp932(std::wstring_view text, BOOL* lacking) {
  if (text.empty()) return {};
  const DWORD flags = lacking ? WC_NO_BEST_FIT_CHARS : 0;
  const int bytes = WideCharToMultiByte(kCodePage, flags, text.data(), int(text.size()), nullptr, 0, "?", lacking);
  std::string out(std::size_t(bytes), '\0');
  WideCharToMultiByte(kCodePage, flags, text.data(), int(text.size()), out.data(), bytes, "?", lacking);
  return out;
}

}  // namespace

std::wstring Wide(std::string_view cp932) { return Decode(kCodePage, cp932); }

std::string Narrow(std::wstring_view text) { return ToCp932(text, nullptr); }

std::string Cp932FromUtf8(std::string_view utf8) { return Narrow(Decode(CP_UTF8, utf8)); }

std::optional<std::string> NarrowExactly(std::wstring_view text) {
  BOOL lacking = FALSE;
  std::string out = ToCp932(text, &lacking);
  // Best-fit mapping is off, so "ë" does not quietly become "e"; check the
  // way back as well, for characters that map without the default.
  if (lacking || Wide(out) != text) return std::nullopt;
  return out;
}

std::optional<std::string> Cp932PathOf(std::wstring_view path) {
  if (std::optional<std::string> exact = NarrowExactly(path)) return exact;
  const std::wstring full(path);
  const DWORD size = GetShortPathNameW(full.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortPath(size, L'\0');
  const DWORD got = GetShortPathNameW(full.c_str(), shortPath.data(), size);
  if (got == 0 || got >= size) return std::nullopt;
  shortPath.resize(got);
  return NarrowExactly(shortPath);
}

}  // namespace gelmo::forms
