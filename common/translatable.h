#pragma once

// Marks a text of a module without Qt for the translators (lupdate reads the mark); the window
// that shows the text translates it there: QCoreApplication::translate(context, text). Without
// Qt the mark is the text itself.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
