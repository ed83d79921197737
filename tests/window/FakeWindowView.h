// A view that keeps the controls' texts and states from the design table,
// and records the log and the boxes instead of showing them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "window/WindowView.h"

struct TModelBox {
    bool IsException;
    std::string Text;
    std::string FieldText; // the text of the field being checked while the box is open
};

class TFakeWindowView : public TWindowView {
public:
    TFakeWindowView() {
        for (const TControlDesign& design : WindowLayout()) {
            Texts[design.Control] = design.Text ? design.Text : "";
            Enabled[design.Control] = design.Enabled;
        }
    }

    std::string Text(TControl control) const override { return Texts.at(control); }
    void SetText(TControl control, const std::string& text) override { Texts[control] = text; }
    void SetEnabled(TControl control, bool enabled) override { Enabled[control] = enabled; }
    void AppendLog(const std::string& text) override { Log.push_back(text); }
    void ShowMessage(const std::string& text) override {
        Boxes.push_back({false, text, Watched()});
    }
    void ShowException(const std::string& message) override {
        Boxes.push_back({true, message, Watched()});
    }

    void SetToolTip(TControl control, const std::string& text) override {
        ToolTips[control] = text;
    }

    std::map<TControl, std::string> Texts;
    std::map<TControl, std::string> ToolTips;
    std::map<TControl, bool> Enabled;
    std::vector<std::string> Log;
    std::vector<TModelBox> Boxes;
    TControl WatchedField = TControl::Edit4;

private:
    std::string Watched() const { return Texts.at(WatchedField); }
};
