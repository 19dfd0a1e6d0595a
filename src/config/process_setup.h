#pragma once

namespace zelvo {

// What both programs do first, once their QCoreApplication exists: no core dumps, which would
// hold the mailbox password, and the name under which both keep their settings in the user's
// configuration folder.
void setUpProcess();

}  // namespace zelvo
