// The registry entries that tie one file extension to the viewer.
#pragma once

// Which of the writer's entries one extension gets, by system and choice.
struct AssociationPlan {
    bool explorerProgId;       // per-user FileExts\.ext "ProgID" (XP family)
    bool machineDefaultClass;  // HKLM SOFTWARE\Classes\.ext default
    bool capability;           // the application's capability value (Vista and later)
    bool userChoice;           // per-user FileExts\.ext\UserChoice "Progid" (Vista and later)
};

AssociationPlan PlanFileAssociation(const wchar_t* extension, int isXpFamily, int isVistaOrLater, int forAllUsers,
                                    int selected);

// Writes the extension's entries: its default class where the plan says so,
// the viewer's class (description, open command, icon) always.
void WriteFileAssociation(const wchar_t* extension, const wchar_t* progIdBase, const wchar_t* openCommand,
                          const wchar_t* iconLocation, int isXpFamily, int isVistaOrLater, int forAllUsers,
                          int selected);

// Adds ".ext" = class to the application's capability list, when it exists.
void WriteCapabilityAssociation(const wchar_t* extension, const wchar_t* progIdBase);
