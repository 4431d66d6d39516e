// The process-wide objects of the run log and the payload alphabet. They live in one translation
// unit so that they are constructed in this order before main and destroyed in reverse after it.
#include <windows.h>
#include <mmsystem.h>

#include "common/base64url.h"
#include "common/run_log.h"

std::stringstream runLog(std::ios::in | std::ios::out);
std::mutex logMutex;
double runStartTime = static_cast<double>(static_cast<unsigned long>(timeGetTime()));
const std::string base64UrlAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
