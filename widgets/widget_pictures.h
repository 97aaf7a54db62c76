#pragma once
#include <QImage>
#include <QString>
#include <memory>

#include "widgets/image_list.h"

// The program's small built-in pictures (compiled-in PNG resources) and
// the image lists the windows fill from them.
namespace Widgets {

// Registers the compiled-in pictures; safe to call any number of times.
void InitPictureResources();

// A picture by resource name ("TITLEICONB_CLOSE", "TRAY", "ring",
// "charger_3", ...), with MaskColor turned transparent; null when there is
// no such picture.
QImage Picture(const QString& Name, TColor MaskColor = clNone);

// Charger states 0..6 (unknown, disconnected, connected, charging,
// charged, charging error, bad temperature), 16 x 16.
std::unique_ptr<TImageList> MakeChargerImageList();
// The ringing telephone, one picture, 16 x 16.
std::unique_ptr<TImageList> MakeRingImageList();
// Call rows: picture 0 for an undetermined state, s + 1 for state s
// (0..7); types: 0 undetermined, 1 voice, 2 data. 16 x 16.
std::unique_ptr<TImageList> MakeCallStateImageList();
std::unique_ptr<TImageList> MakeCallTypeImageList();
// SMS states in the order Unknown, ReadFailed, SIMRecvUnread, SIMRecvRead,
// SIMUnsent, BeingSent, BeingStored, SendFailed, SIMSent, Deleting
// (BeingSent and BeingStored share a picture); 16 x 16, lime keyed.
std::unique_ptr<TImageList> MakeSMSStateImageList();
// Operator badges 16 x 15: picture 0 for 23002, 1 for 23001, 2 for 23003.
std::unique_ptr<TImageList> MakeOperatorImageList();
// Language flags 16 x 16: 0 Czech, 1 English.
std::unique_ptr<TImageList> MakeLanguageFlagImageList();

}  // namespace Widgets
