// Character classification of the C library, answered by Qt's Unicode tables.
#include <QChar>

#include "platform/crt.h"

/* iswalpha: nonzero for a letter of any script (Unicode general category L*). */
int iswalpha(WCHAR c) {
    return QChar(c).isLetter() ? 1 : 0;
}
