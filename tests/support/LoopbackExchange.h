#pragma once

#include <string>
#include <vector>

namespace zonbode::testing {

// One exchange with a server on 127.0.0.1 over a fresh connection: sends `request`, returns
// every byte until the server closes ("" when the connection failed).
std::string Exchange(int port, const std::string& request);
// The same with the request sent in pieces, a short pause between them.
std::string ExchangeInPieces(int port, const std::vector<std::string>& pieces);
// A plain HTTP/1.1 GET of `path`: the whole response, headers included.
std::string HttpGet(int port, const std::string& path);

}  // namespace zonbode::testing
