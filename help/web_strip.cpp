#include "core/form1.h"

namespace quelvex {

void TForm1::Timer6Timer() {}
void TForm1::CppWebBrowser1TitleChange() {}
void TForm1::CppWebBrowser1LoadFinished(bool) {}
void TForm1::Image6Click() {}

} // namespace quelvex
