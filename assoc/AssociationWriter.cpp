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

    if (plan.explorerProgId) {
        wchar_t userKey[kTextChars];
        FormatText(userKey, kTextChars, kExplorerExtensionKeyFormat, extension);
        SetDefaultValue(HKEY_CURRENT_USER, userKey, L"");
        CScopedKey key;
        if (OpenKey(HKEY_CURRENT_USER, userKey, KEY_ALL_ACCESS, key) == ERROR_SUCCESS)
            SetStringValue(key.get(), kExplorerProgIdValue, progId);
    }
    if (plan.machineDefaultClass) SetDefaultValue(HKEY_LOCAL_MACHINE, extensionKey, progId);
    {
        // Offered in "Open with" and in the system's prompt for a new app: a
        // value named after the class, without data.
        wchar_t openWithKey[kClassKeyChars];
        CScopedKey openWith;
        if (FormatText(openWithKey, kClassKeyChars, L"%s\\%s", extensionKey, kOpenWithProgidsSubkey) &&
            CreateKey(HKEY_LOCAL_MACHINE, openWithKey, openWith) == ERROR_SUCCESS)
            RegSetValueExW(openWith.get(), progId, 0, REG_NONE, nullptr, 0);
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
        CScopedKey key;
        if (plan.userChoice && CreateKey(HKEY_CURRENT_USER, choiceKey, key) == ERROR_SUCCESS)
            SetStringValue(key.get(), kUserChoiceProgIdValue, progId);
    }
}
