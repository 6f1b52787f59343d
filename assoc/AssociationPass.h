// Applies the format catalogue to the registry during an installation and
// tells the shell when associations changed.
#pragma once

#include "assoc/AssociationWriter.h"
#include "assoc/FormatCatalogue.h"

struct AssociationInputs {
    int associationConfirmed;
    int associationRequested;
    const int* associationRows;  // kAssociationSlotCount flags
    int associateForAllUsers;
    int isXpFamily;
    int isVistaOrLater;
    const wchar_t* exe;          // the viewer executable's full path
    const wchar_t* openCommand;
    int systemVersionCode;
    CRegistryChanges* changes;   // told what the pass made and replaced; may be null
};

// What one pass does, decided from its inputs alone.
struct PassPlan {
    bool runs;              // the rows are walked at all
    bool useSelection;      // false: every row counts as not selected
    bool allRows;           // every row, not only the selected ones
    bool noOpenWith;        // the five packaged-application classes
    bool notifyShell;       // icon reload and association notice
};

PassPlan PlanAssociationPass(int associationConfirmed, int associationRequested, int isVistaOrLater,
                             int systemVersionCode);

// The DefaultIcon text of a row's files; false when it does not fit.
bool IconLocationFor(IconKind kind, const wchar_t* exe, wchar_t* out, size_t cchOut);

void AssociationPass(const AssociationInputs& inputs);
