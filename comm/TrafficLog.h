// A traffic log of the bytes on the panel line, for looking at a session afterwards.
// The file is opened (emptied) on the first call and stays open; times are milliseconds since
// then. Meant for one thread at a time (calls are serialised all the same).
#pragma once

#include <cstdint>
#include <string>

// Received bytes (stream form, incoming set): each line starts with "<sss.mmm< " and the text
// follows byte by byte as it arrives; CR and LF end the line once.
// Sent bytes (line form, incoming clear): the text is collected (at most 512 characters, the
// rest dropped) and written as ">sss.mmm> text" when a CR or LF arrives.
void WriteTrafficLog(bool incoming, const uint8_t* bytes, int32_t length);

// The file to log to (default "logger.log"). Closes the current file and resets the log state,
// so the next WriteTrafficLog opens the new file and starts a new time origin.
void SetTrafficLogPath(const std::string& path);
