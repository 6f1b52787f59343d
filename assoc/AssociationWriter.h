// The registry entries that tie one file extension to the viewer.
#pragma once

#include <windows.h>

// Which of the writer's entries one extension gets, by system and choice.
struct AssociationPlan {
    bool explorerProgId;       // per-user FileExts\.ext "ProgID" (XP family)
    bool machineDefaultClass;  // HKLM SOFTWARE\Classes\.ext default
    bool capability;           // the application's capability value (Vista and later)
    bool removeUserChoice;     // the user's old FileExts\.ext\UserChoice goes (Vista and later)
    bool userChoice;           // a new one with "Progid" (Vista and 7 only)
};

// Whether the system takes a user's choice written without the hash that
// only its own dialogs compute: Vista and 7 do; Windows 8 and later take such
// a choice for tampering, reset the type to their own default app and tell
// the user so.
bool AcceptsUnhashedUserChoice(int systemVersionCode);

AssociationPlan PlanFileAssociation(const wchar_t* extension, int isXpFamily, int isVistaOrLater, int forAllUsers,
                                    int selected, int systemVersionCode);

// Told what the writer made that was not there and which default class it
// replaced, for the installation's record: the writer's own opening of a key
// says whether it made it, so nothing is asked twice.
class CRegistryChanges {
public:
    virtual void KeyCreated(HKEY /*root*/, const wchar_t* /*path*/) {}
    virtual void DefaultReplaced(const wchar_t* /*extension*/, const wchar_t* /*former*/) {}

protected:
    ~CRegistryChanges() = default;
};

// What the extensions of one pass share: the capability list, opened once,
// and the class written last. The extensions of one row that share a class
// (with the row's icon) write it once; the pass clears classWritten for each row.
struct AssociationPassKeys {
    HKEY capabilities = nullptr;            // open for setting values; null: write through the key's path
    const wchar_t* classWritten = nullptr;  // its progIdBase
    CRegistryChanges* changes = nullptr;    // null: nobody is told
};

// Writes the extension's entries: its default class where the plan says so,
// the viewer's class (description, open command, icon) always, and the class
// among those offered in "Open with" (OpenWithProgids) on every system.
void WriteFileAssociation(const wchar_t* extension, const wchar_t* progIdBase, const wchar_t* openCommand,
                          const wchar_t* iconLocation, int isXpFamily, int isVistaOrLater, int forAllUsers,
                          int selected, AssociationPassKeys* pass = nullptr);

// Adds ".ext" = class to the application's capability list, when it exists.
void WriteCapabilityAssociation(const wchar_t* extension, const wchar_t* progIdBase);
