#pragma once

#include <memory>
#include <vector>

class KivVOApplication;

using KivApplicationChain = std::vector<std::shared_ptr<KivVOApplication>>;

// Every path from the application down its library lists, one chain per path (the application
// first, the library reached last), each chain after the chains of the libraries below it.
// System libraries are neither listed nor followed. A library already on the chain that leads to
// it is not entered again, so a library graph with a cycle still ends.
std::vector<KivApplicationChain> KivBuildImplicantsArray(KivVOApplication& application);

// The libraries the application depends on, directly or through other libraries, each once (by
// ID), every library before the libraries that use it, appended to `list`; libraries already in
// `list` keep their place. The application itself is never added.
std::vector<std::shared_ptr<KivVOApplication>>
KivBuildImplicantsList(KivVOApplication& application,
                       std::vector<std::shared_ptr<KivVOApplication>> list = {});
