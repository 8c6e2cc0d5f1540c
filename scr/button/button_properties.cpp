#include "scr/button/button_properties.h"

#include <limits>

#include "scr/settings/number_text.h"

namespace gelmo {
namespace {

std::optional<std::int64_t> AsNumber(const PropertyValue& value) {
  if (const auto* n = std::get_if<std::int64_t>(&value)) return *n;
  if (const auto* s = std::get_if<std::string>(&value)) {
    const auto number = ParseNumberText(*s);
    if (!number) return std::nullopt;
    return RoundHalfEven(*number);
  }
  return std::nullopt;
}

// A stored number read into a field of a narrower type; empty when it does
// not fit, so that the step is skipped rather than the field wrapped.
template <typename T>
std::optional<T> AsField(const PropertyValue& value) {
  const auto n = AsNumber(value);
  if (!n || *n < std::numeric_limits<T>::min() || *n > std::numeric_limits<T>::max()) return std::nullopt;
  return static_cast<T>(*n);
}

}  // namespace

FontDesc DesignFont() {
  FontDesc font;
  font.face = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ Ｐゴシック
  return font;
}

bool SameAsDefault(const PropertyValue& value, const PropertyValue& fallback) {
  const auto* font = std::get_if<FontRef>(&value);
  const auto* fallbackFont = std::get_if<FontRef>(&fallback);
  if (font || fallbackFont) {
    if (!font || !fallbackFont) return false;
    if (*font == *fallbackFont) return true;
    return *font && *fallbackFont && **font == **fallbackFont;
  }
  const auto* text = std::get_if<std::string>(&value);
  const auto* fallbackText = std::get_if<std::string>(&fallback);
  if (text && fallbackText) return *text == *fallbackText;
  const auto a = AsNumber(value), b = AsNumber(fallback);
  return a && b && *a == *b;
}

PropertyValue PropertyBag::Read(std::string_view name, const PropertyValue& fallback) {
  const auto found = values.find(name);
  return found == values.end() ? fallback : found->second;
}

void PropertyBag::Write(std::string_view name, const PropertyValue& value, const PropertyValue& fallback) {
  const auto found = values.find(name);
  if (SameAsDefault(value, fallback)) {
    if (found != values.end()) values.erase(found);
  } else if (found != values.end()) {
    found->second = value;
  } else {
    values.emplace(std::string(name), value);
  }
}

CommandControl::CommandControl(CommandHost& host) : font(std::make_shared<FontDesc>(DesignFont())), host_(host) {}

ButtonEffect CommandControl::Apply(ButtonEffect effect) {
  if (effect.labelEnabled) labelEnabled = *effect.labelEnabled;
  return effect;
}

ButtonEffect CommandControl::RefreshLook() {
  if (!button.Enabled()) return {};  // the disabled face comes only from ShowEnabledState
  labelEnabled = true;
  // A new instance whose defaults are not applied yet keeps a black caption.
  if (firstRun == 0) textColour = 0;
  ButtonEffect effect = button.DrawFace(Face::kNormal);
  effect.labelEnabled = true;
  return effect;
}

std::uint8_t CommandControl::GetVisible(ButtonEffect& effect) {
  if (backStyle == kBackTransparent) return 0;
  effect.Then(RefreshLook());
  return 255;
}

ButtonEffect CommandControl::SetVisible(std::int64_t value) {
  ButtonEffect effect;
  if (value != 0) {
    backStyle = kBackOpaque;
    effect = RefreshLook();
  } else {
    backStyle = kBackTransparent;
  }
  host_.PropertyChanged(kPropVisible);
  return effect;
}

std::int32_t CommandControl::GetFontColour(ButtonEffect& effect) {
  const std::int32_t colour = textColour;
  effect.Then(RefreshLook());
  return colour;
}

ButtonEffect CommandControl::SetFontColour(std::int32_t colour) {
  textColour = colour;
  ButtonEffect effect = RefreshLook();
  host_.PropertyChanged(kPropFontColour);
  return effect;
}

std::int16_t CommandControl::GetEnabled(ButtonEffect& effect) {
  if (firstRun == 0) {
    // First look at a new instance: apply its defaults.
    effect.Then(RefreshLook());
    firstRun = 1;
    button.SetEnabledField(kTrue);
  }
  const std::int16_t result = button.Enabled();
  effect.Then(Apply(button.ShowEnabledState()));
  return result;
}

ButtonEffect CommandControl::SetEnabled(bool enabled) {
  button.SetEnabledField(enabled ? kTrue : kFalse);
  host_.PropertyChanged(kPropEnabled);
  return Apply(button.ShowEnabledState());
}

void CommandControl::SetCaption(std::string text) {
  caption = std::move(text);
  host_.PropertyChanged(kPropCaption);
}

void CommandControl::SetFont(FontRef f) {
  font = std::move(f);
  host_.PropertyChanged(kPropFont);
}

ButtonEffect CommandControl::ReadProperties(PropertyStore& store) {
  // A value that cannot go into its field skips that step only.
  if (auto v = AsField<std::int64_t>(store.Read(kPropEnabled, std::int64_t{kTrue})))
    button.SetEnabledField(*v ? kTrue : kFalse);
  const PropertyValue storedCaption = store.Read(kPropCaption, std::string(kCaptionDefault));
  if (const auto* s = std::get_if<std::string>(&storedCaption)) caption = *s;
  const PropertyValue storedFont = store.Read(kPropFont, host_.AmbientFont());
  if (auto* f = std::get_if<FontRef>(&storedFont); f && *f) font = *f;
  if (auto v = AsField<std::uint8_t>(store.Read(kPropFirstRun, std::string("1")))) firstRun = *v;
  if (auto v = AsField<std::int32_t>(store.Read(kPropFontColour, std::string("0")))) textColour = *v;
  if (auto v = AsField<std::int16_t>(store.Read(kPropVisible, std::string("1")));
      v && (*v == kBackOpaque || *v == kBackTransparent))
    backStyle = *v;
  return RefreshLook();
}

ButtonEffect CommandControl::WriteProperties(PropertyStore& store) {
  store.Write(kPropEnabled, std::int64_t{button.Enabled() ? kTrue : kFalse}, std::int64_t{kTrue});
  // The same default as when reading, so that every caption comes back as it
  // was written.
  store.Write(kPropCaption, caption, std::string(kCaptionDefault));
  store.Write(kPropFirstRun, std::int64_t{firstRun}, std::string("1"));
  store.Write(kPropFont, font, host_.AmbientFont());
  store.Write(kPropFontColour, std::int64_t{textColour}, std::string("0"));
  store.Write(kPropVisible, std::int64_t{backStyle}, std::string("1"));
  return RefreshLook();
}

}  // namespace gelmo
