#pragma once
// Whose a path is, as the catalogue tells it: a path belongs to the deepest install folder
// that holds it. A scan offers only what belongs to the scanned program (or to no program at
// all), never a folder that holds another program's folder, and no registry data that points
// into another program's folder.

#include <string>
#include <vector>

#include "inventory/program_places.h"

namespace tarvo::leftovers {

class TReservedFolders;

class TProgramOwnership {
public:
    TProgramOwnership() = default;
    // `places`: the catalogue's programs, the scanned one among them or not. `ownName` and
    // `ownFolder` are the scanned program's; its twins (entries of the same name, such as its
    // entry in the other registry view) are the program itself. A bare folder scan names no
    // program: there what is installed in exactly that folder is what the user chose to
    // remove. Empty, relative and shared folders own nothing.
    TProgramOwnership(const std::vector<inventory::TProgramPlace>& places, const std::wstring& ownName,
                      const std::wstring& ownFolder, bool bareFolder, const TReservedFolders& reserved);

    // `form` (FolderForm of a file or folder path) lies in another program's folder, and not
    // in the scanned program's own folder inside it (a plug-in in its host's folder).
    [[nodiscard]] bool BelongsToOther(const std::wstring& form) const;
    // `form` is, or is a folder above, another program's folder.
    [[nodiscard]] bool HoldsOther(const std::wstring& form) const;
    // The text names a place in another program's folder (outside the scanned program's own
    // folder inside it). A folder two programs name is both programs': neither's alone.
    [[nodiscard]] bool PointsIntoOther(const std::wstring& text) const;

    [[nodiscard]] bool KnowsOthers() const noexcept { return !others_.empty(); }

private:
    [[nodiscard]] bool OwnFolderInside(const std::wstring& other) const;

    std::wstring own_;
    std::vector<std::wstring> others_;  // FolderForm
};

}  // namespace tarvo::leftovers
