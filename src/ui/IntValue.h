// Reading a number out of text the way a text field's numeric value does: leading blanks, an
// optional sign, then as many decimal digits as follow; anything else gives 0. A value beyond the
// type's range is clamped to its nearest end.
#pragma once

#include <QStringView>

qint32 intValue(QStringView text);
qint64 integerValue(QStringView text);
