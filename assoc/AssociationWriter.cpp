// The registry entries that tie one file extension to the viewer.
#include "assoc/AssociationWriter.h"

#include <windows.h>

#include "app/SystemProbes.h"
#include "assoc/AssociationKeys.h"
#include "install/RegistrationRows.h"
#include "platform/Registry.h"
#include "platform/Text.h"

namespace {


constexpr size_t kClassKeyChars = 256;
constexpr size_t kTextChars = 1024;
constexpr size_t kUpperBaseChars = 32;

// Extensions that get the viewer as their machine default class on Vista and
// later even when not chosen.
bool IsAlwaysAssociated(const wchar_t* extension) {
    return _wcsicmp(extension, L"JPG") == 0 || _wcsicmp(extension, L"PNG") == 0 || _wcsicmp(extension, L"TIF") == 0;
}

void UpperCaseAscii(const wchar_t* text, wchar_t (&out)[kUpperBaseChars]) {
    size_t i = 0;
    for (; text[i] != L'\0' && i + 1 < kUpperBaseChars; ++i) {
        out[i] = (text[i] >= L'a' && text[i] <= L'z') ? static_cast<wchar_t>(text[i] - L'a' + L'A') : text[i];
    }
    out[i] = L'\0';
}

// Creates or opens root\path, telling changes (and madeNow) when it made it.
LONG CreateNotedKey(HKEY root, const wchar_t* path, CScopedKey& key, CRegistryChanges* changes,
                    bool* madeNow = nullptr) {
    bool created = false;
    LONG status = CreateKey(root, path, key, created);
    if (created && changes) changes->KeyCreated(root, path);
    if (madeNow) *madeNow = created;
    return status;
}

}  // namespace

bool AcceptsUnhashedUserChoice(int systemVersionCode) { return systemVersionCode == 6 || systemVersionCode == 7; }

AssociationPlan PlanFileAssociation(const wchar_t* extension, int isXpFamily, int isVistaOrLater, int forAllUsers,
                                    int selected, int systemVersionCode) {
    AssociationPlan plan = {};
    plan.explorerProgId = isXpFamily != 0;
    plan.machineDefaultClass = isXpFamily ? forAllUsers != 0 : (selected != 0 || IsAlwaysAssociated(extension));
    plan.capability = isVistaOrLater != 0;
    plan.removeUserChoice = isVistaOrLater != 0 && selected != 0;
    plan.userChoice = plan.removeUserChoice && AcceptsUnhashedUserChoice(systemVersionCode);
    return plan;
}

namespace {

void SetCapabilityValue(HKEY capabilities, const wchar_t* extension, const wchar_t* progIdBase) {
    wchar_t name[kTextChars];
    wchar_t progId[kTextChars];
    FormatText(name, kTextChars, L".%s", extension);
    ProgIdFor(progIdBase, progId, kTextChars);
    SetStringValue(capabilities, name, progId);
}

}  // namespace

void WriteCapabilityAssociation(const wchar_t* extension, const wchar_t* progIdBase) {
    CScopedKey key;
    if (OpenKey(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, KEY_SET_VALUE, key) != ERROR_SUCCESS) return;  // never created here
    SetCapabilityValue(key.get(), extension, progIdBase);
}

void WriteFileAssociation(const wchar_t* extension, const wchar_t* progIdBase, const wchar_t* openCommand,
                          const wchar_t* iconLocation, int isXpFamily, int isVistaOrLater, int forAllUsers,
                          int selected, AssociationPassKeys* pass) {
    AssociationPlan plan =
        PlanFileAssociation(extension, isXpFamily, isVistaOrLater, forAllUsers, selected, CachedSystemVersionCode());

    wchar_t progId[kTextChars];
    ProgIdFor(progIdBase, progId, kTextChars);
    wchar_t upperBase[kUpperBaseChars];
    UpperCaseAscii(progIdBase, upperBase);
    wchar_t description[kTextChars];
    FormatText(description, kTextChars, L"%s %s File", kClassPrefix, upperBase);
    wchar_t extensionKey[kClassKeyChars];
    ExtensionKeyFor(extension, extensionKey, kClassKeyChars);
    wchar_t classKey[kClassKeyChars];
    ClassKeyFor(progIdBase, classKey, kClassKeyChars);

    CRegistryChanges* changes = pass ? pass->changes : nullptr;
    wchar_t userKey[kTextChars];
    FormatText(userKey, kTextChars, kExplorerExtensionKeyFormat, extension);
    // Offered in "Open with" and in the system's prompt for a new app: a value
    // named after the class, without data. An update finds the list there and
    // writes through one opening; otherwise the extension's key is opened
    // (or made), which says whether it and the list are new.
    wchar_t openWithKey[kClassKeyChars];
    CScopedKey openWith;
    bool listNamed = FormatText(openWithKey, kClassKeyChars, L"%s\\%s", extensionKey, kOpenWithProgidsSubkey);
    if (listNamed && (plan.machineDefaultClass ||
                      OpenKey(HKEY_LOCAL_MACHINE, openWithKey, KEY_SET_VALUE, openWith) != ERROR_SUCCESS)) {
        CScopedKey machineExtension;
        bool extensionMadeNow = false;
        if (CreateNotedKey(HKEY_LOCAL_MACHINE, extensionKey, machineExtension, changes, &extensionMadeNow) ==
            ERROR_SUCCESS) {
            if (plan.machineDefaultClass) {
                // A key made just now has no former class to remember.
                wchar_t former[kTextChars];
                if (changes && !extensionMadeNow &&
                    ReadKeyString(machineExtension.get(), nullptr, former, kTextChars) && former[0] != L'\0' &&
                    !IsViewerProgId(former))
                    changes->DefaultReplaced(extension, former);
                SetStringValue(machineExtension.get(), nullptr, progId);
            }
            bool created = false;
            if (CreateKey(machineExtension.get(), kOpenWithProgidsSubkey, openWith, created) == ERROR_SUCCESS &&
                created && changes)
                changes->KeyCreated(HKEY_LOCAL_MACHINE, openWithKey);
        }
    }
    if (openWith) RegSetValueExW(openWith.get(), progId, 0, REG_NONE, nullptr, 0);
    if (plan.explorerProgId) {
        CScopedKey key;
        if (CreateNotedKey(HKEY_CURRENT_USER, userKey, key, changes) == ERROR_SUCCESS) {
            SetStringValue(key.get(), nullptr, L"");
            SetStringValue(key.get(), kExplorerProgIdValue, progId);
        }
    }

    if (!pass || !pass->classWritten || _wcsicmp(pass->classWritten, progIdBase) != 0) {
        SetDefaultValue(HKEY_LOCAL_MACHINE, classKey, description);
        wchar_t commandKey[kClassKeyChars];
        FormatText(commandKey, kClassKeyChars, L"%s\\shell\\open\\command", classKey);
        SetDefaultValue(HKEY_LOCAL_MACHINE, commandKey, openCommand);
        wchar_t iconKey[kClassKeyChars];
        FormatText(iconKey, kClassKeyChars, L"%s\\DefaultIcon", classKey);
        SetDefaultValue(HKEY_LOCAL_MACHINE, iconKey, iconLocation);
        if (pass) pass->classWritten = progIdBase;
    }

    if (plan.capability) {
        if (pass && pass->capabilities) {
            SetCapabilityValue(pass->capabilities, extension, progIdBase);
        } else {
            WriteCapabilityAssociation(extension, progIdBase);
        }
    }

    if (plan.removeUserChoice) {
        // The old choice goes with all its values; only "Progid" comes back,
        // where the system takes it.
        wchar_t choiceKey[kTextChars];
        FormatText(choiceKey, kTextChars, kUserChoiceKeyFormat, extension);
        RegDeleteKeyW(HKEY_CURRENT_USER, choiceKey);
        CScopedKey explorerExtension, key;
        if (plan.userChoice &&
            CreateNotedKey(HKEY_CURRENT_USER, userKey, explorerExtension, changes) == ERROR_SUCCESS &&
            CreateKey(HKEY_CURRENT_USER, choiceKey, key) == ERROR_SUCCESS)
            SetStringValue(key.get(), kUserChoiceProgIdValue, progId);
    }
}
