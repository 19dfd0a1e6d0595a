#include "config/process_setup.h"

#include <QCoreApplication>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace zelvo {

void setUpProcess() {
#ifdef __linux__
    ::prctl(PR_SET_DUMPABLE, 0);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("zelvo-sms"));
}

}  // namespace zelvo
