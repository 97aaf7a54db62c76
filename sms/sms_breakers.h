#pragma once
#include <string>

// The six part-marker templates of long texts, indexed 0 to 5: begin and
// end of a single message, begin of the first part, end of a part that is
// not the last, begin of a part that is not the first, end of the last.
// In a template "%N" is the part number, "%M" the next one, "%T" the
// number of parts, "%%" a percent sign.
class VTixSMS_BreakerDispatcher {
public:
    static constexpr int FmtBeginSingle = 0;
    static constexpr int FmtEndSingle = 1;
    static constexpr int FmtBeginFirst = 2;
    static constexpr int FmtEndNotLast = 3;
    static constexpr int FmtBeginNotFirst = 4;
    static constexpr int FmtEndLast = 5;
    static constexpr int Count = 6;

    VTixSMS_BreakerDispatcher();

    // Indexes outside 0 to 5 are ignored (a read gives nothing).
    std::string GetBreaker(int index) const;
    void SetBreaker(int index, const std::string& text);
    static std::string GetDefaultBreaker(int index);
    // The template differs from its default.
    bool NIsBreakerDefault(int index) const;
    void Assign(const VTixSMS_BreakerDispatcher& other);

private:
    std::string templates_[Count];
};
