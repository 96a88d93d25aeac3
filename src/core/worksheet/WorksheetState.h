#pragma once
// The worksheet and its numeric view, as kept by each Session.
namespace amx {

struct WorksheetState {
};

}  // namespace amx
