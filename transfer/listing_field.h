// Fields of a line of the modem's file-store listing
// ("name,field1,attributes,0,0,size").
#pragma once

#include <string>
#include <string_view>

// Field number index (from 0) of a comma-separated listing line, with the
// white space around it (a trailing CR included) removed; empty when the
// line has fewer fields. Empty fields count like any other, so a file
// without attributes still has its size in field 5; white space inside a
// field is kept as it is.
std::string ListingField(const std::string& line, int index);

// Field number index of text whose fields are ended by separator, exactly
// as it stands; empty when text has fewer fields. Empty fields count.
std::string_view SeparatedField(std::string_view text, char separator, int index);
