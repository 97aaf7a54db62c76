#pragma once
#include <string>
#include <vector>

#include "phonebook/phonebook.h"
#include "phonebook/phonebook_observer.h"

// A view that checks every notice of the phonebook model against the
// model, as a Qt item model would need it to be: a "will be" notice comes
// before the list changes and names a row that fits it then, its "done"
// follows the change by exactly one row, a changed row exists. It logs
// the notices as "insert SM 2", "remove SM 0", "done SM", "changed SM 1",
// "shown SM" ("shown -" for none) and collects what did not fit.
class TCheckingView : public VTixPhoneBookObserver {
public:
    void rowWillBeInserted(const VTixPhoneBookStorage& storage, int row) override;
    void rowWillBeRemoved(const VTixPhoneBookStorage& storage, int row) override;
    void rowChangeDone(const VTixPhoneBookStorage& storage) override;
    void rowChanged(const VTixPhoneBookStorage& storage, int row) override;
    void displayedStorageReplaced(const VTixPhoneBookStorage* storage) override;

    // The log since the last call, joined by "|".
    std::string take();

    std::vector<std::string> log;
    std::vector<std::string> faults;

private:
    void fault(const std::string& what) { faults.push_back(what); }

    const VTixPhoneBookStorage* open = nullptr;
    int expectedCount = -1;
    const VTixPhoneBookRecord* removing = nullptr;
};
