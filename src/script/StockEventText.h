// The stock events as a script prints them: Click, KeyDown(CODE,SHIFT), MouseMove(B,S,X,Y), ...
#pragma once

#include <string>
#include <vector>

namespace kestrix {

// dispid is the event's standard dispatch identity; args are its arguments in declared order.
std::string StockEventText(long dispid, const std::vector<long>& args);

}  // namespace kestrix
