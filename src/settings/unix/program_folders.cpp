#include "settings/program_folders.h"

namespace zelvo::settings {

QStringList systemProgramFolders() {
    return {};
}

}  // namespace zelvo::settings
