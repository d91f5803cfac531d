#pragma once

#include "marovine/document/file_association.h"

namespace marovine::ui {

// Registers ".mrv" documents for the user with this very program (the
// executable that runs now) and its icon. What the file-association setting
// asks for at start-up; the result says which file could not be written.
FileAssociationResult RegisterMrvFileTypeForUser();

}  // namespace marovine::ui
