#include "fuzz/support/null_window.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

namespace {

bool Valid(VMainWindowLink::TControl c) { return c >= 0 && c < VMainWindowLink::ControlCount; }

// Misuse by the engine is a finding, not something to paper over.
void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "null window: %s\n", what);
        std::abort();
    }
}

}  // namespace

std::string TNullWindow::getLangText(const std::string&, const std::string&,
                                     const std::string& Default, int)
{
    return Default;
}

int TNullWindow::messageBox2(const std::string&, int) { return answer; }
int TNullWindow::messageBox(const std::string&, const std::string&, int) { return answer; }

std::string TNullWindow::dateTimeText(double DateTime)
{
    Check(!std::isnan(DateTime), "date-time text of NaN");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", DateTime);
    return buf;
}

void TNullWindow::terminalAddLine(const char* Text, int Length, bool)
{
    Check(Length >= 0 && (Length == 0 || Text != nullptr), "terminal line with a bad length");
    terminalBytes += size_t(Length);
}

void TNullWindow::setStatusPanel(int Panel, const std::string&)
{
    Check(Panel >= 0 && Panel <= 2, "status panel out of range");
}

void TNullWindow::setEnabled(TControl Control, bool Enabled)
{
    Check(Valid(Control), "setEnabled of an unknown control");
    enabled_[Control] = Enabled;
}

bool TNullWindow::isEnabled(TControl Control)
{
    Check(Valid(Control), "isEnabled of an unknown control");
    return enabled_[Control];
}

void TNullWindow::setEditText(TControl Control, const std::string& Text)
{
    Check(Valid(Control), "setEditText of an unknown control");
    texts_[Control] = Text;
}

std::string TNullWindow::editText(TControl Control)
{
    Check(Valid(Control), "editText of an unknown control");
    return texts_[Control];
}

bool TNullWindow::isChecked(TControl Control)
{
    Check(Valid(Control), "isChecked of an unknown control");
    return enabled_[Control];
}

void TNullWindow::operatorComboAddItem(const std::string&, int) { ++comboCount_; }

void TNullWindow::operatorComboSetItemText(int Index, const std::string&)
{
    Check(Index >= 0 && Index < comboCount_, "operator item text out of range");
}

void TNullWindow::operatorComboSetItemObject(int Index, int)
{
    Check(Index >= 0 && Index < comboCount_, "operator item object out of range");
}

void TNullWindow::operatorComboSetItemIndex(int Index)
{
    Check(Index >= -1 && Index < comboCount_, "operator item index out of range");
}

}  // namespace Fuzz
