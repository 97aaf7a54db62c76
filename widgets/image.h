#pragma once
#include <QImage>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/colors.h"

#include "widgets/image_list.h"

// When the prepared (stretched or greyed) picture is kept between paints.
enum VTixImage_SaveMemory {
    vtiNever,     // always kept
    vtiChanged,   // kept when it differs from the list's picture
    vtiChanged8,  // as vtiChanged, and only on an 8-bit screen
    vtiAlways     // built for each paint and dropped after it
};

// One picture of an image list, chosen by index, optionally stretched
// (nearest neighbour) to the control's size and drawn embossed grey while
// the control is disabled. Transparency comes from the pictures' alpha.
class VTixImage : public QWidget {
    Q_OBJECT
public:
    explicit VTixImage(QWidget* Parent = nullptr);
    ~VTixImage() override;

    // Not owned; when the list is destroyed the control forgets it.
    TImageList* ImageList() const { return m_imageList; }
    void SetImageList(TImageList* Value);
    int ImageIndex() const { return m_imageIndex; }
    // Below 0 or beyond the list shows nothing.
    void SetImageIndex(int Value);
    VTixImage_SaveMemory SaveMemory() const { return m_saveMemory; }
    void SetSaveMemory(VTixImage_SaveMemory Value);
    // Pixels whose red, green and blue are each at most these turn to
    // shadow in the grey look.
    TColor GrayDarkerThan() const { return m_grayDarkerThan; }
    void SetGrayDarkerThan(TColor Value);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool Value);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value);
    void SetHint(const std::string& Value);

    // Whether a prepared picture is held right now.
    bool HasPreparedPicture() const { return m_prepared; }
    // The picture as the next paint draws it (null when nothing shows).
    QImage CurrentPicture() const;

    // Nearest-neighbour copy: row y, column x takes the source pixel at
    // row y * source height / Height, column x * source width / Width.
    static QImage StretchPicture(const QImage& Source, int Width, int Height);
    // The embossed grey look in the button colours; transparent pixels
    // (alpha below half) stay transparent.
    static QImage GrayPicture(const QImage& Source, TColor DarkerThan);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void ChangeReaction();
    void ApplyKeepingPolicy();
    QImage Prepare() const;
    bool VisibleProperty() const;
    void FreePrepared();

    QPointer<TImageList> m_imageList;
    QMetaObject::Connection m_changeLink;
    int m_imageIndex = -1;
    VTixImage_SaveMemory m_saveMemory = vtiChanged8;
    TColor m_grayDarkerThan = 0xFFBFFF;
    bool m_stretch = true;
    QImage m_picture;
    bool m_prepared = false;
};
