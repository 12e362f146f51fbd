#pragma once

// Return and error codes of the table engine. Positive values are results of a
// normal operation (found, after, end of file, locked); negative values are
// errors, also left in Code4::errorCode() until the caller resets it.
namespace kelo::engine {

inline constexpr int r4success = 0;
inline constexpr int r4found = 1;
inline constexpr int r4after = 2;
inline constexpr int r4eof = 3;
inline constexpr int r4bof = 4;
inline constexpr int r4locked = 50;
inline constexpr int r4noTag = 80;

// Index format answered by Code4::indexFormat(): compound index files.
inline constexpr int r4cdx = 200;

inline constexpr int e4create = -20;     // a table or its companion files cannot be created
inline constexpr int e4exists = -21;     // create refused: the file exists and safety is on
inline constexpr int e4open = -60;       // missing or unreadable file
inline constexpr int e4access = -61;     // shared/exclusive conflict with another opener
inline constexpr int e4permission = -62; // the file cannot be written: no permission, read-only
inline constexpr int e4read = -70;       // a read failed or came back short
inline constexpr int e4write = -80;      // a write failed
inline constexpr int e4memo = -90;       // memo file missing, damaged or unreadable
inline constexpr int e4data = -200;      // the file is not a valid table (damaged header or size)
inline constexpr int e4field = -210;     // bad field definition or unknown field
inline constexpr int e4tagName = -220;   // bad or duplicate tag definition
inline constexpr int e4index = -230;     // index file damaged
inline constexpr int e4lock = -250;      // a write needed a lock another user holds
inline constexpr int e4encrypt = -300;   // encrypted with another key, or no key set
inline constexpr int e4expr = -400;      // key or filter expression is invalid
inline constexpr int e4parm = -500;      // invalid argument (record number, state)
inline constexpr int e4relate = -510;    // relation could not find a slave record

// Access modes for Code4::accessMode (the byte raised for an exclusive open).
inline constexpr unsigned char OPEN4DENY_NONE = 0;
inline constexpr unsigned char OPEN4DENY_RW = 1;

} // namespace kelo::engine
