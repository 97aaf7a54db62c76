#pragma once
#include <QImage>
#include <QTreeView>
#include <memory>

#include "phonebook/ui/mf_edit_types.h"

// Extended options of the buffered tree: toBufferUpdates freezes the
// picture while the tree is updated, toShadeBuffer dims that picture.
enum TVTExtendedOption { toBufferUpdates = 0, toShadeBuffer = 1 };
using TVTExtendedOptions = TEnumSet<TVTExtendedOption>;

// The tree's update notification.
enum TVTUpdateState { usBegin, usBeginSynch, usSynch, usEnd, usEndSynch, usUpdate };

class TCustomVirtualTreeExOptions {
public:
    TVTExtendedOptions ExtendedOptions() const { return m_extendedOptions; }
    void SetExtendedOptions(TVTExtendedOptions Value) { m_extendedOptions = Value; }
    // Copies every option, the extended ones included.
    void Assign(const TCustomVirtualTreeExOptions& Source) { *this = Source; }

private:
    TVTExtendedOptions m_extendedOptions{toShadeBuffer};
};

class TVirtualTreeExOptions : public TCustomVirtualTreeExOptions {};

// A tree view that can show a frozen picture of itself while it is being
// updated: between beginUpdate and endUpdate (nested) with toBufferUpdates
// the viewport shows a snapshot taken at the begin, shaded with
// toShadeBuffer, and the tree's redraw switch is left on. Without
// toBufferUpdates the update only switches redrawing off, as a plain tree.
class TVirtualStringTreeEx : public QTreeView {
    Q_OBJECT
public:
    explicit TVirtualStringTreeEx(QWidget* Parent = nullptr);
    ~TVirtualStringTreeEx() override;

    const TVirtualTreeExOptions& TreeOptions() const { return m_options; }
    TVirtualTreeExOptions& TreeOptions() { return m_options; }
    void SetTreeOptions(const TVirtualTreeExOptions& Value) { m_options.Assign(Value); }

    void beginUpdate();
    void endUpdate();
    int UpdateCount() const { return m_updateCount; }
    // The redraw switch of the tree (its updates); ignored while a
    // snapshot stands in for the tree.
    virtual void SetRedraw(bool On);
    // The snapshot shown during an update; null outside one.
    const QImage* UpdateBuffer() const { return m_buffer.get(); }

    // A line at the right edge of every column (the paint option of the
    // vertical grid lines), in the button face colour.
    bool ShowVertGridLines() const { return m_vertGridLines; }
    void SetShowVertGridLines(bool On);

    // Dims the picture: an 8 x 8 checker (rows 0xAA and 0x55) of white and
    // black blended over it with constant alpha 180 and bias -30.
    virtual void ShadeBitmap(QImage& Bitmap);

protected:
    virtual void DoUpdating(TVTUpdateState State);
    void paintEvent(QPaintEvent* Event) override;
    void drawRow(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    bool Buffering() const;

    TVirtualTreeExOptions m_options;
    std::unique_ptr<QImage> m_buffer;
    int m_updateCount = 0;
    bool m_vertGridLines = false;
};
