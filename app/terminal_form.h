#pragma once
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The terminal's window with its controls at their designed places; each
// control keeps its distance to the edges it is anchored to.
class VTixTerminalForm : public QWidget {
    Q_OBJECT
public:
    enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

    explicit VTixTerminalForm(QWidget* parent = nullptr);

    // Names every control: the component's name and the control's suffix.
    void SetComponentName(const std::string& name);
    // Shows the hexadecimal line below the text line (which moves up).
    void SetShowHexEdit(bool show);
    void SetDebugVisible(bool show);
    // Rebuilds the radio items; the group shows only with items.
    void SetModeItems(const std::vector<std::string>& items);
    int CheckedMode() const;
    void CheckMode(int index);

    QPlainTextEdit* RichEdit = nullptr;
    QLineEdit* ManualLine = nullptr;
    QLineEdit* HexManualLine = nullptr;
    QGroupBox* RGroupMode = nullptr;
    QButtonGroup* ModeButtons = nullptr;
    QPushButton* SendLinebutton = nullptr;
    QPushButton* BtnDirect = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* BtnUndock = nullptr;
    QLineEdit* DebugInTime = nullptr;
    QLineEdit* DebugOutTime = nullptr;

    // The size the controls' places refer to.
    static constexpr int DesignWidth = 400;
    static constexpr int DesignHeight = 450;

    std::function<void(QCloseEvent*)> onClose;
    std::function<void()> onMoveOrResize;
    std::function<void()> onActivate;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Placed {
        QWidget* control;
        const char* suffix;
        QRect design;
        unsigned anchors;
    };
    void place(QWidget* control, const char* suffix, QRect design, unsigned anchors);
    void layoutControls();
    QRect rectOf(const Placed& p) const;

    std::vector<Placed> placed_;
    std::vector<QRadioButton*> modeItems_;
    bool showHex_ = false;
};
