// Taking a line of the modem's file listing ("name,field1,attributes,0,0,
// size") apart. Each result lives in a module-level buffer of 256 bytes that
// the next call of the same function overwrites.
#pragma once

#include <cstddef>

constexpr std::size_t kEntryBufferSize = 256;

// The entry's fields as a multi-string: each comma ends a field (NUL), a run
// of white space becomes one space, and two NULs end the list. The rest of
// the buffer is cleared, so that an empty field in the middle stays
// distinguishable from the end. Null, with nothing written, when the
// result would not fit the buffer.
const char* NormalizeEntry(const char* entry);

// Field n (from 0) of fields, the buffer of NormalizeEntry, with its leading
// white space skipped and the rest as it stands. Empty fields count like
// any other, so the size of a file without attributes is still field 5;
// the empty text when there are fewer fields.
const char* GetEntryField(const char* fields, int n);

// The attribute letters as arguments of the store command: every character
// that is not white space, each followed by a comma, the last comma
// removed ("H S" and "HS" give "H,S"). Null when the result would not fit
// the buffer.
const char* AttributeArgs(const char* letters);
