// A main window made of plain values, laid out in twips as the window is designed.
#pragma once

#include <map>
#include <string>

#include "options/option_form.h"
#include "options/option_view.h"

namespace ombrix::options {

class FakeOptionView final : public OptionView {
  public:
    struct State {
        std::string text;
        int value = 0;
        bool enabled = true, visible = true;
        int top = 0, height = 0;
    };

    FakeOptionView() {
        controls_[Control::CommandLine] = {"uptime", 0, true, true, 480, 405};
        controls_[Control::OptionsFrame] = {"", 0, true, true, 1080, 3375};
        controls_[Control::ExitButton] = {"", 0, true, true, 4080, 375};
        controls_[Control::LaunchButton] = {"", 0, true, true, 480, 375};
        controls_[Control::MachineName] = {"Name/IP Address", 0, false, true, 480, 285};
        controls_[Control::Day] = {"01", 0, false, true, 360, 285};
        controls_[Control::Month] = {"3", 0, false, true, 360, 285};
        controls_[Control::Year] = {"2006", 0, false, true, 360, 285};
        controls_[Control::DayCount] = {"5", 0, false, true, 720, 285};
    }

    std::string Text(Control c) const override { return At(c).text; }
    void PutText(Control c, const std::string& text) override { controls_[c].text = text; }
    int Value(Control c) const override { return At(c).value; }
    void PutValue(Control c, int value) override { controls_[c].value = value; }
    void SetEnabled(Control c, bool enabled) override { controls_[c].enabled = enabled; }
    void SetVisible(Control c, bool visible) override { controls_[c].visible = visible; }
    bool CommandLineShown() const override { return commandLineShown; }
    void PutCommandLineShown(bool shown) override { commandLineShown = shown; }
    int Height(Control c) const override { return At(c).height; }
    void MoveTop(Control c, int delta) override { controls_[c].top += delta; }
    void ChangeWindowHeight(int delta) override { windowHeight += delta; }

    const State& At(Control c) const { return controls_[c]; }

    // The user's typing, as the window reports it.
    void Type(OptionForm& form, Control c, const std::string& text) {
        controls_[c].text = text;
        form.OnChange(c);
    }

    int windowHeight = 4665 + 720;  // client area and frame, in twips
    bool commandLineShown = true;   // the menu's check mark

  private:
    mutable std::map<Control, State> controls_;  // a control not yet met holds the defaults
};

}  // namespace ombrix::options
