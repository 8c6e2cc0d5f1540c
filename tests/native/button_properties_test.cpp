// The button's properties, their change notifications and the saved design.
#include "scr/button/button_properties.h"

#include <gtest/gtest.h>

#include <vector>

namespace gelmo {
namespace {

class RecordingHost : public CommandHost {
 public:
  std::vector<std::string> changed;
  FontRef ambient = std::make_shared<FontDesc>(DesignFont());
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }
  FontRef AmbientFont() override { return ambient; }
};

class CommandProperties : public ::testing::Test {
 protected:
  RecordingHost host;
  CommandControl control{host};
  PropertyBag bag;
};

TEST_F(CommandProperties, EmptyStoreGivesTheDefaults) {
  const ButtonEffect e = control.ReadProperties(bag);
  EXPECT_EQ(control.button.Enabled(), kTrue);
  EXPECT_EQ(control.caption, "Command1");
  EXPECT_EQ(control.font, host.ambient);
  EXPECT_EQ(control.firstRun, 1);
  EXPECT_EQ(control.textColour, 0);
  EXPECT_EQ(control.backStyle, kBackOpaque);
  EXPECT_EQ(e.face, Face::kNormal);
  EXPECT_TRUE(host.changed.empty());
}

TEST_F(CommandProperties, DefaultsAreNotStored) {
  control.ReadProperties(bag);
  control.WriteProperties(bag);
  EXPECT_TRUE(bag.values.empty());

  control.SetCaption("OK");
  auto bold = std::make_shared<FontDesc>(DesignFont());
  bold->bold = true;
  control.SetFont(bold);
  control.WriteProperties(bag);
  ASSERT_EQ(bag.values.size(), 2u);
  EXPECT_TRUE(bag.values.count("Caption"));
  EXPECT_TRUE(bag.values.count("Font"));
  EXPECT_EQ(host.changed, (std::vector<std::string>{"Caption", "Font"}));
}

TEST_F(CommandProperties, WrittenValuesReadBack) {
  struct Case { const char* caption; std::int32_t colour; bool enabled; std::int64_t visible; };
  const Case cases[] = {{"Command", 0, true, 1}, {"Command1", 0x00FF00, false, 0}, {"\x90\xDD\x92\xE8", 0x123456, true, 7}};
  for (const Case& c : cases) {
    RecordingHost h;
    CommandControl source(h);
    PropertyBag empty;
    source.ReadProperties(empty);
    source.SetCaption(c.caption);
    source.SetFontColour(c.colour);
    source.SetEnabled(c.enabled);
    source.SetVisible(c.visible);
    PropertyBag saved;
    source.WriteProperties(saved);

    CommandControl loaded(h);
    loaded.ReadProperties(saved);
    EXPECT_EQ(loaded.caption, c.caption);
    EXPECT_EQ(loaded.textColour, c.colour) << c.caption;
    EXPECT_EQ(loaded.button.Enabled(), c.enabled ? kTrue : kFalse);
    EXPECT_EQ(loaded.backStyle, c.visible ? kBackOpaque : kBackTransparent);
  }
}

TEST_F(CommandProperties, NumbersEqualTheirDefaultTexts) {
  EXPECT_TRUE(SameAsDefault(std::int64_t{0}, std::string("0")));
  EXPECT_TRUE(SameAsDefault(std::int64_t{1}, std::string("1")));
  EXPECT_FALSE(SameAsDefault(std::int64_t{-1}, std::string("1")));
  EXPECT_FALSE(SameAsDefault(std::string("Command"), std::string("Command1")));
  EXPECT_TRUE(SameAsDefault(std::make_shared<FontDesc>(DesignFont()), std::make_shared<FontDesc>(DesignFont())));
}

TEST_F(CommandProperties, StoredFirstRunZeroForcesBlackAndEnablesOnFirstRead) {
  bag.values["FirstRun"] = std::int64_t{0};
  bag.values["FontColour"] = std::int64_t{0x0000FF};
  bag.values["Enabled"] = std::int64_t{0};
  control.ReadProperties(bag);
  EXPECT_EQ(control.textColour, 0x0000FF);  // disabled: RefreshLook does nothing
  ButtonEffect e;
  EXPECT_EQ(control.GetEnabled(e), kTrue);
  EXPECT_EQ(control.firstRun, 1);
  EXPECT_EQ(e.face, Face::kNormal);

  PropertyBag enabled;
  enabled.values["FirstRun"] = std::int64_t{0};
  enabled.values["FontColour"] = std::int64_t{0x0000FF};
  CommandControl other(host);
  other.ReadProperties(enabled);
  EXPECT_EQ(other.textColour, 0);
}

TEST_F(CommandProperties, ValuesThatDoNotFitSkipOnlyTheirStep) {
  bag.values["FirstRun"] = std::int64_t{300};
  bag.values["Visible"] = std::string("x");
  bag.values["FontColour"] = std::string("255");
  control.ReadProperties(bag);
  EXPECT_EQ(control.firstRun, 0);  // kept
  EXPECT_EQ(control.backStyle, kBackOpaque);
  EXPECT_EQ(control.caption, "Command1");
}

TEST_F(CommandProperties, NewInstanceAppliesItsDefaultsOnFirstEnabledRead) {
  EXPECT_EQ(control.button.Enabled(), kFalse);
  EXPECT_EQ(control.caption, "Command");
  ButtonEffect e;
  EXPECT_EQ(control.GetEnabled(e), kTrue);
  EXPECT_EQ(e.face, Face::kNormal);
  EXPECT_EQ(control.firstRun, 1);
}

TEST_F(CommandProperties, ReadingLookPropertiesRedrawsNormalWithoutChangingTheState) {
  control.ReadProperties(bag);
  control.button.Initialize();
  control.button.MouseMove();
  ButtonEffect e;
  control.GetFontColour(e);
  EXPECT_EQ(e.face, Face::kNormal);
  ButtonEffect v;
  EXPECT_EQ(control.GetVisible(v), 255);
  EXPECT_EQ(v.face, Face::kNormal);
  EXPECT_EQ(control.button.State(), kStateHighLight);
}

TEST_F(CommandProperties, VisibleAndEnabledSetters) {
  control.ReadProperties(bag);
  EXPECT_EQ(control.SetVisible(5).face, Face::kNormal);
  ButtonEffect e;
  EXPECT_EQ(control.GetVisible(e), 255);
  EXPECT_FALSE(control.SetVisible(0).face);
  EXPECT_EQ(control.GetVisible(e), 0);

  const ButtonEffect off = control.SetEnabled(false);
  EXPECT_EQ(off.face, Face::kDisable);
  EXPECT_FALSE(control.labelEnabled);
  EXPECT_EQ(control.SetEnabled(true).face, Face::kNormal);
  EXPECT_TRUE(control.labelEnabled);
  EXPECT_EQ(control.button.State(), kStateNone);
  EXPECT_EQ(host.changed, (std::vector<std::string>{"Visible", "Visible", "Enabled", "Enabled"}));
}

TEST_F(CommandProperties, FontIsSharedNotCopied) {
  auto f = std::make_shared<FontDesc>(DesignFont());
  control.SetFont(f);
  f->italic = true;
  EXPECT_TRUE(control.GetFont()->italic);
}

}  // namespace
}  // namespace gelmo
