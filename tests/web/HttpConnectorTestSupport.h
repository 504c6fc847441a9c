#pragma once
// The registry values the form posts read: the maker's web server and the
// proxy store.

#include <string>
#include <vector>

namespace httptest {

void SetWebServer(const std::string& host);
// Values 0 to 4 of the proxy store, written as the program would find them.
void WriteProxyStore(const std::vector<std::string>& values);
// Values 0 to 4 as they stand in the store.
std::vector<std::string> ReadProxyStore();

} // namespace httptest
