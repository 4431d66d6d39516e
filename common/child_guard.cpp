#include "common/child_guard.h"

#include <exception>
#include <new>

#include "common/child_lines.h"
#include "common/exception_text.h"

namespace {
void PrintStandardException(const ChildHandlerTexts& texts, const std::exception& e,
                            std::ostream& out) {
  PrintBothLine(out, texts.standard, ExceptionText(e));
}
}  // namespace

bool RunGuarded(const ChildHandlerTexts& texts, std::ostream& out, const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (const std::bad_alloc& e) {
    if (texts.allocation != nullptr) {
      PrintBothLine(out, texts.allocation, ExceptionText(e));
    } else {
      PrintStandardException(texts, e, out);
    }
  } catch (const std::exception& e) {
    PrintStandardException(texts, e, out);
  } catch (...) {
    PrintBothLine(out, texts.unknown);
  }
  return false;
}
