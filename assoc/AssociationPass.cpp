// Applies the format catalogue to the registry during an installation.
#include "assoc/AssociationPass.h"

#include <windows.h>
#include <shlobj.h>

#include "assoc/AssociationKeys.h"
#include "assoc/AssociationWriter.h"
#include "install/PhaseMark.h"
#include "install/RegistrationRows.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace {

constexpr size_t kIconChars = 264;
constexpr UINT kReloadSystemIcons = 0x58;  // SPI_SETICONS
constexpr UINT kFlushNoWait = 0x3000;      // SHCNF_FLUSHNOWAIT

void ApplyNoOpenWithForBuiltInApps() {
    for (const wchar_t* path : kBuiltInAppClasses) {
        CScopedKey key;
        if (CreateKey(HKEY_CURRENT_USER, path, key) == ERROR_SUCCESS) SetStringValue(key.get(), kNoOpenWithValue, L"");
    }
}

}  // namespace

PassPlan PlanAssociationPass(int associationConfirmed, int associationRequested, int isVistaOrLater,
                             int systemVersionCode) {
    PassPlan plan = {};
    // A refused question: before Vista nothing runs; on Vista and later the
    // pass runs as if nothing had been requested.
    bool confirmed = associationConfirmed != 0;
    plan.runs = confirmed || isVistaOrLater;
    plan.useSelection = confirmed;
    plan.allRows = isVistaOrLater != 0;
    bool requested = confirmed && associationRequested != 0;
    plan.noOpenWith = plan.runs && requested && systemVersionCode == 10;
    plan.notifyShell = plan.runs && requested;
    return plan;
}

bool IconLocationFor(IconKind kind, const wchar_t* exe, wchar_t* out, size_t cchOut) {
    switch (kind) {
    case IconKind::File: return CopyText(out, cchOut, L"%1");
    case IconKind::Video: return FormatText(out, cchOut, L"%s,12", exe);
    case IconKind::Audio: return FormatText(out, cchOut, L"%s,11", exe);
    case IconKind::Program: break;
    }
    return FormatText(out, cchOut, L"%s,0", exe);
}

void AssociationPass(const AssociationInputs& inputs) {
    PassPlan plan = PlanAssociationPass(inputs.associationConfirmed, inputs.associationRequested,
                                        inputs.isVistaOrLater, inputs.systemVersionCode);
    if (!plan.runs) return;

    // The capability list is opened once for all extensions (never created here).
    CScopedKey capabilities;
    if (inputs.isVistaOrLater)
        OpenKey(HKEY_LOCAL_MACHINE, kCapabilityAssociationsKey, KEY_SET_VALUE, capabilities);
    AssociationPassKeys pass;
    pass.capabilities = capabilities.get();
    pass.changes = inputs.changes;
    for (int row = 0; row < kFormatRowCount; ++row) {
        int selected = plan.useSelection ? inputs.associationRows[row] : 0;
        if (!plan.allRows && !selected) continue;
        const FormatRow& format = kFormatCatalogue[row];
        wchar_t iconLocation[kIconChars];
        IconLocationFor(format.iconKind, inputs.exe, iconLocation, kIconChars);
        pass.classWritten = nullptr;
        for (int i = 0; i < format.ExtensionCount(); ++i) {
            WriteFileAssociation(format.Extension(i), format.ProgIdBase(i), inputs.openCommand,
                                 iconLocation, inputs.isXpFamily, inputs.isVistaOrLater, inputs.associateForAllUsers,
                                 selected, &pass);
        }
    }

    if (plan.noOpenWith) ApplyNoOpenWithForBuiltInApps();
    MARK_PHASE("file associations");
    if (plan.notifyShell) {
        SystemParametersInfoW(kReloadSystemIcons, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        NotifyAssociationsChanged(kFlushNoWait);
        MARK_PHASE("the shell told of the change");
    }
}
