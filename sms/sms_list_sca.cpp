// VTixSMSList: the SMS-centre list, shown in a combo box and read from a
// text file of one item a line (the number first, free text after it).
#include <fstream>
#include <iterator>

#include "foundation/tixutils_text.h"
#include "sms/sms_list.h"

namespace {

// The file's lines as bytes (CR LF, LF or CR end a line; nothing after the
// last line end is no line). Empty for a file that cannot be read.
std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return lines;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lines.push_back(line);
            line.clear();
        } else
            line += c;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The leading run of the trimmed text made of the characters in `set`.
std::string LeadingRun(const std::string& text, const char* set)
{
    const std::string trimmed = Tixutils::TrimControls(text);
    return trimmed.substr(0, trimmed.find_first_not_of(set));
}

}  // namespace

void VTixSMSList::SetSCACombo(VTixSCACombo* combo)
{
    if (combo == scaCombo_)
        return;
    scaCombo_ = combo;
    rebuildSCACombo();
}

void VTixSMSList::SetSCAFile(const std::string& path)
{
    if (path == scaFile_)
        return;
    scaFile_ = path;
    rebuildSCACombo();
}

void VTixSMSList::rebuildSCACombo()
{
    if (!scaCombo_)
        return;
    const std::string number = GetSCANumber();
    scaCombo_->clear();
    for (const std::string& line : ReadLines(scaFile_))
        scaCombo_->add(line);
    SetSCANumber(number, false);
}

std::string VTixSMSList::GetSCANumber() const
{
    if (!scaCombo_)
        return std::string();
    const int selected = scaCombo_->itemIndex();
    const std::string text = selected >= 0 ? scaCombo_->item(selected) : scaCombo_->text();
    return LeadingRun(text, "+0123456789");
}

void VTixSMSList::SetSCANumber(const std::string& number, bool forced)
{
    if (!scaCombo_)
        return;
    // No number is no item, not even an empty line of the file.
    for (int i = 0; i < scaCombo_->count() && !number.empty(); ++i)
        if (LeadingRun(scaCombo_->item(i), " +-0123456789") == number) {
            scaCombo_->setItemIndex(i);
            return;
        }
    if (forced) {
        scaCombo_->setItemIndex(-1);
        scaCombo_->setText(number);
    } else if (!scaCombo_->text().empty() && scaCombo_->count() > 0)
        scaCombo_->setItemIndex(0);
}

bool VTixSMSList::saveSCAList() const
{
    if (!scaCombo_)
        return false;
    std::ofstream out(scaFile_, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    for (int i = 0; i < scaCombo_->count(); ++i)
        out << scaCombo_->item(i) << "\r\n";
    return bool(out.flush());
}
