#pragma once
// Which options ApplyOptions re-reads; bits combine.
enum OptionGroup : int {
    SourceDisplay = 0x1,
    SourceOffset = 0x2,
    TargetDisplay = 0x10,
    Magnification = 0x20,
    TargetOffset = 0x40,
    TargetSize = 0x80,
    MouseAdjust = 0x200,
    Mask = 0x1000,
    Language = 0x10000,
    AllGroups = -1,
};
