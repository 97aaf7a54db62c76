#pragma once
#include <QWidget>
#include <string>

#include "app/app_info.h"
#include "app/options_owner.h"

// A main window for the options dialog that keeps quiet: an empty window
// without the named controls, no first run, texts in their default, "No"
// to every question, nothing done for the engine. Tests override what
// they watch.
class TQuietOptionsOwner : public VOptionsOwner {
public:
    QWidget* optionsOwnerWindow() override { return &window; }
    bool getFirstRun() override { return false; }
    void setFirstRun(bool) override {}
    void setConfigClean(bool) override {}
    std::string getLangText(const std::string&, const std::string&, const std::string& d) override { return d; }
    int messageBox2(const std::string&, unsigned) override { return MsgBox::IDNO; }
    void setPIN(const std::string&) override {}
    void enterPinAgain() override {}
    void writeSCANumber() override {}
    void setShowSMSStateAsText(bool) override {}
    void setTerminalDebugWindowsVisible(bool) override {}

    QWidget window;
};
