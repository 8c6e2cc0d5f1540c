// The button's states as sequences of inputs, each step with the face it
// draws and whether it clicks.
#include "scr/button/button_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace gelmo {
namespace {

enum class In {
  kMove, kLeftDown, kLeftUp, kRightDown, kRightUp, kMiddleUp, kFocus, kBlur, kPollOver, kPollForm, kPollOther, kResize,
  kSpaceDown, kSpaceUp, kDefault, kNotDefault
};

ButtonEffect Feed(CommandButton& b, In in) {
  switch (in) {
    case In::kMove: return b.MouseMove();
    case In::kLeftDown: return b.MouseDown(kLeftButton);
    case In::kLeftUp: return b.MouseUp(kLeftButton);
    case In::kRightDown: return b.MouseDown(kRightButton);
    case In::kRightUp: return b.MouseUp(kRightButton);
    case In::kMiddleUp: return b.MouseUp(kMiddleButton);
    case In::kFocus: return b.FocusGot();
    case In::kBlur: return b.FocusLost();
    case In::kPollOver: return b.HoverPoll(HoverTarget::kControl);
    case In::kPollForm: return b.HoverPoll(HoverTarget::kParentForm);
    case In::kPollOther: return b.HoverPoll(HoverTarget::kOther);
    case In::kResize: return b.Resized();
    case In::kSpaceDown: return b.KeyDown();
    case In::kSpaceUp: return b.KeyUp();
    case In::kDefault: return b.SetDefault(true);
    case In::kNotDefault: return b.SetDefault(false);
  }
  return {};
}

struct Step {
  In in;
  std::optional<Face> face;  // drawn, or nothing drawn
  std::uint8_t state;
  bool click = false;
};

struct Sequence {
  const char* name;
  std::vector<Step> steps;
};

constexpr auto N = std::nullopt;

const std::vector<Sequence> kSequences = {
    {"ClickWithFocusArrivingOnPress",
     {{In::kMove, Face::kHighLight, 2}, {In::kLeftDown, Face::kPressed, 2},
      {In::kFocus, Face::kPressed, 4}, {In::kLeftUp, Face::kHighLightSelect, 4, true}}},
    {"PressLeaveReleaseRaisesNothing",
     {{In::kMove, Face::kHighLight, 2}, {In::kFocus, Face::kPressed, 4}, {In::kLeftDown, Face::kPressed, 4},
      {In::kPollOther, Face::kSelected, 3}, {In::kLeftUp, N, 3, false}}},
    {"ComingBackWhileHeldChangesNothing",
     {{In::kMove, Face::kHighLight, 2}, {In::kFocus, Face::kPressed, 4}, {In::kLeftDown, Face::kPressed, 4},
      {In::kPollForm, Face::kSelected, 3}, {In::kMove, N, 3}, {In::kPollOver, N, 3}, {In::kLeftUp, N, 3, false},
      {In::kMove, Face::kHighLightSelect, 4}}},
    {"RightOrMiddleReleaseClicksWithoutDrawing",
     {{In::kMove, Face::kHighLight, 2}, {In::kFocus, Face::kPressed, 4}, {In::kRightDown, N, 4},
      {In::kRightUp, N, 4, true}, {In::kMiddleUp, N, 4, true}}},
    {"LeftReleaseHoveredWithoutFocusDrawsNormalAndClicks",
     {{In::kMove, Face::kHighLight, 2}, {In::kLeftDown, Face::kPressed, 2}, {In::kLeftUp, Face::kNormal, 2, true}}},
    {"FocusLeavingWhileHoveredGivesNormal",
     {{In::kMove, Face::kHighLight, 2}, {In::kFocus, Face::kPressed, 4}, {In::kBlur, Face::kNormal, 1},
      {In::kMove, Face::kHighLight, 2}}},
    {"KeyboardFocusWhileHoveredKeepsPressedUntilThePointerLeaves",
     {{In::kMove, Face::kHighLight, 2}, {In::kFocus, Face::kPressed, 4}, {In::kPollOver, N, 4},
      {In::kMove, N, 4}, {In::kPollOther, Face::kSelected, 3}, {In::kPollOther, N, 3}, {In::kBlur, Face::kNormal, 1},
      {In::kBlur, N, 1}}},
    {"ResizeWhileHoveredShowsNormalAndKeepsTheState",
     {{In::kMove, Face::kHighLight, 2}, {In::kResize, Face::kNormal, 2}, {In::kPollOther, Face::kNormal, 1}}},
    {"FocusWithoutPointerIsSelected",
     {{In::kFocus, Face::kSelected, 3}, {In::kFocus, Face::kSelected, 3}, {In::kMove, Face::kHighLightSelect, 4},
      {In::kLeftDown, Face::kPressed, 4}, {In::kLeftUp, Face::kHighLightSelect, 4, true}}},
    {"ReleaseInNormalStillClicks",  // a press that started elsewhere
     {{In::kLeftUp, N, 1, true}}},
    // The keyboard: Space clicks when let go, on the control it went down on.
    {"SpaceOnTheFocusedButtonClicksOnRelease",
     {{In::kFocus, Face::kSelected, 3}, {In::kSpaceDown, Face::kPressed, 3}, {In::kSpaceDown, N, 3},
      {In::kSpaceUp, Face::kSelected, 3, true}, {In::kSpaceUp, N, 3, false}}},
    {"SpaceCancelledByTheFocusLeaving",
     {{In::kFocus, Face::kSelected, 3}, {In::kSpaceDown, Face::kPressed, 3}, {In::kBlur, Face::kNormal, 1},
      {In::kSpaceUp, N, 1, false}}},
    // The default button wears the Selected face where it would show Normal.
    {"DefaultShowsSelectedWhereOthersShowNormal",
     {{In::kDefault, Face::kSelected, 1}, {In::kMove, Face::kHighLight, 2}, {In::kPollOther, Face::kSelected, 1},
      {In::kFocus, Face::kSelected, 3}, {In::kBlur, Face::kSelected, 1}, {In::kNotDefault, Face::kNormal, 1},
      {In::kMove, Face::kHighLight, 2}, {In::kDefault, N, 2}}},
};

TEST(CommandButtonSequences, EachStepDrawsAndClicksAsExpected) {
  for (const Sequence& seq : kSequences) {
    CommandButton b;
    b.SetEnabledField(kTrue);
    b.Initialize();
    for (std::size_t i = 0; i < seq.steps.size(); ++i) {
      const Step& step = seq.steps[i];
      const ButtonEffect e = Feed(b, step.in);
      const std::string where = std::string(seq.name) + " step " + std::to_string(i);
      EXPECT_EQ(e.face, step.face) << where;
      EXPECT_EQ(b.State(), step.state) << where;
      EXPECT_EQ(e.click, step.click) << where;
    }
  }
}

TEST(CommandButton, InitializeStartsPollingWithoutDrawing) {
  CommandButton b;
  const ButtonEffect e = b.Initialize();
  EXPECT_TRUE(e.startHoverTimer);
  EXPECT_FALSE(e.face);
  EXPECT_EQ(b.State(), kStateNormal);
}

TEST(CommandButton, BeforeInitializeOnlyFocusSetsAState) {
  CommandButton b;
  b.SetEnabledField(kTrue);
  EXPECT_TRUE(b.MouseMove().Empty());
  EXPECT_EQ(b.State(), kStateNone);
  EXPECT_EQ(b.FocusLost().face, Face::kNormal);
  EXPECT_EQ(b.State(), kStateNormal);
}

TEST(CommandButton, RightPressLeavesMouseIsDownAsItWas) {
  CommandButton b;
  b.SetEnabledField(kTrue);
  b.Initialize();
  EXPECT_TRUE(b.MouseDown(kRightButton).Empty());
  EXPECT_EQ(b.MouseIsDown(), kFalse);
  b.MouseDown(kLeftButton);
  b.MouseUp(kRightButton);
  EXPECT_EQ(b.MouseIsDown(), kTrue);
}

TEST(CommandButton, DisabledIgnoresEveryInputButResize) {
  CommandButton b;
  b.Initialize();
  b.SetEnabledField(kTrue);
  b.MouseMove();
  b.SetEnabledField(kFalse);
  for (In in : {In::kMove, In::kLeftDown, In::kLeftUp, In::kRightUp, In::kFocus, In::kBlur, In::kPollOther}) {
    EXPECT_TRUE(Feed(b, in).Empty()) << int(in);
    EXPECT_EQ(b.State(), kStateHighLight);
    EXPECT_EQ(b.MouseIsDown(), kFalse);
  }
  const ButtonEffect resize = b.Resized();
  EXPECT_EQ(resize.face, Face::kDisable);
  EXPECT_EQ(resize.labelEnabled, false);
  b.SetEnabledField(kTrue);
  const ButtonEffect back = b.ShowEnabledState();
  EXPECT_EQ(back.face, Face::kNormal);
  EXPECT_EQ(back.labelEnabled, true);
  EXPECT_EQ(b.State(), kStateHighLight);
}

TEST(CommandButton, StateFourKeepsTheOrientationOfTheDrawingBefore) {
  CommandButton hoveredFirst;
  hoveredFirst.SetEnabledField(kTrue);
  hoveredFirst.Initialize();
  EXPECT_TRUE(hoveredFirst.MouseMove().reverseGradient);
  const ButtonEffect viaFocus = hoveredFirst.FocusGot();
  EXPECT_EQ(hoveredFirst.State(), kStateHighLightSelect);
  EXPECT_TRUE(viaFocus.reverseGradient);

  CommandButton focusedFirst;
  focusedFirst.SetEnabledField(kTrue);
  focusedFirst.Initialize();
  EXPECT_FALSE(focusedFirst.FocusGot().reverseGradient);
  const ButtonEffect viaPointer = focusedFirst.MouseMove();
  EXPECT_EQ(focusedFirst.State(), kStateHighLightSelect);
  EXPECT_FALSE(viaPointer.reverseGradient);
  EXPECT_FALSE(focusedFirst.MouseDown(kLeftButton).reverseGradient);
}

TEST(CommandButton, NormalFaceDrawnWhileHoveredIsReversed) {
  // The orientation follows the state, not the picture.
  CommandButton b;
  b.SetEnabledField(kTrue);
  b.Initialize();
  b.MouseMove();
  const ButtonEffect e = b.MouseUp(kLeftButton);
  EXPECT_EQ(e.face, Face::kNormal);
  EXPECT_TRUE(e.reverseGradient);
  EXPECT_FALSE(b.LeaveHover().reverseGradient);
}

}  // namespace
}  // namespace gelmo
