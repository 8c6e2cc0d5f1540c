// The button's public properties and how an instance keeps them in the host's
// saved design.  The named-value store and the host's notifications come in
// through interfaces; PropertyBag is a store in memory that the control
// window can serialise as it likes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "scr/button/button_state.h"
#include "scr/button/face_layout.h"

namespace gelmo {

struct FontDesc {
  std::string face;  // code page 932
  double points = 9.75;
  std::int16_t weight = 400;
  std::int16_t charset = 128;  // Shift-JIS
  bool bold = false, italic = false, underline = false, strikethrough = false;
  bool operator==(const FontDesc& o) const {
    return face == o.face && points == o.points && weight == o.weight && charset == o.charset && bold == o.bold &&
           italic == o.italic && underline == o.underline && strikethrough == o.strikethrough;
  }
};
// The label shares its font object with whoever set it, as the Font property
// hands out and takes the object itself.
using FontRef = std::shared_ptr<FontDesc>;

// ＭＳ Ｐゴシック 9.75 pt, weight 400, Shift-JIS: the control's design font.
FontDesc DesignFont();

// A stored value: a number (booleans as -1 / 0), a text or a font.
using PropertyValue = std::variant<std::int64_t, std::string, FontRef>;

// A value equals its default when both are the same number, a number and a
// text holding that number (0 and "0"), the same text, or fonts alike.
bool SameAsDefault(const PropertyValue& value, const PropertyValue& fallback);

class PropertyStore {
 public:
  virtual ~PropertyStore() = default;
  // The stored value, or `fallback` when none is stored.
  virtual PropertyValue Read(std::string_view name, const PropertyValue& fallback) = 0;
  // Stores `value`, or removes the entry when it equals `fallback`.
  virtual void Write(std::string_view name, const PropertyValue& value, const PropertyValue& fallback) = 0;
};

class PropertyBag : public PropertyStore {
 public:
  PropertyValue Read(std::string_view name, const PropertyValue& fallback) override;
  void Write(std::string_view name, const PropertyValue& value, const PropertyValue& fallback) override;
  std::map<std::string, PropertyValue, std::less<>> values;
};

class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The saved design is out of date: `name` changed.
  virtual void PropertyChanged(std::string_view name) = 0;
  virtual FontRef AmbientFont() = 0;
};

// Entry names and the caption defaults.
inline constexpr std::string_view kPropEnabled = "Enabled";
inline constexpr std::string_view kPropCaption = "Caption";
inline constexpr std::string_view kPropFont = "Font";
inline constexpr std::string_view kPropFirstRun = "FirstRun";
inline constexpr std::string_view kPropFontColour = "FontColour";
inline constexpr std::string_view kPropVisible = "Visible";
inline constexpr std::string_view kDesignCaption = "Command";   // a newly placed instance
inline constexpr std::string_view kCaptionDefault = "Command1";  // when nothing is stored

// Background style of the control's surface.
inline constexpr std::int16_t kBackTransparent = 0;
inline constexpr std::int16_t kBackOpaque = 1;

// The whole control without its window: the state machine, the caption label
// and the properties.  Every operation returns what must be drawn.
class CommandControl {
 public:
  explicit CommandControl(CommandHost& host);

  CommandButton button;

  // The caption label and the surface as the window shows them.
  std::string caption{kDesignCaption};
  FontRef font;
  std::int32_t textColour = 0;  // 0x00BBGGRR
  bool labelEnabled = true;
  std::int16_t backStyle = kBackOpaque;
  std::uint8_t firstRun = 0;  // 0 until the defaults of a new instance are applied

  std::uint8_t GetVisible(ButtonEffect& effect);  // 255 shown, 0 hidden
  ButtonEffect SetVisible(std::int64_t value);
  std::int32_t GetFontColour(ButtonEffect& effect);
  ButtonEffect SetFontColour(std::int32_t colour);
  std::int16_t GetEnabled(ButtonEffect& effect);
  ButtonEffect SetEnabled(bool enabled);
  const std::string& GetCaption() const { return caption; }
  void SetCaption(std::string text);
  FontRef GetFont() const { return font; }
  void SetFont(FontRef f);

  // The Normal face again while enabled, whatever the state.
  ButtonEffect RefreshLook();

  ButtonEffect ReadProperties(PropertyStore& store);
  ButtonEffect WriteProperties(PropertyStore& store);

  // Keeps the label and the state machine's effect together: labelEnabled
  // follows what the effect says.
  ButtonEffect Apply(ButtonEffect effect);

 private:
  CommandHost& host_;
};

}  // namespace gelmo
