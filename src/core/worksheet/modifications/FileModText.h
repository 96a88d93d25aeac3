#pragma once
// The lines every report prints under its heading for the active file
// modifications.
namespace amx {

struct Session;

// Fills FileModString (lines joined by line breaks), FileModStringTab (line
// breaks plus a tab) and FileModStringLine (two blanks) from the active rules:
// "Missing When: ..." for each missing condition, "Process If: ..." for each
// condition (the first followed by " and"/" or" when there are two), then
// "Transform: ...". True when any rule contributes a line.
bool GetFileModString(Session& s);

}  // namespace amx
