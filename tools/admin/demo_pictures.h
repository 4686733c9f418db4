#pragma once
// The demo installation's object descriptions and pictures: a few objects
// get a description text and plans or views drawn here, in each format
// "grafika" holds.
#include <string>

namespace k4 {
class Sbscrbr;
class SubscriberDatabase;
}

namespace k4::admin {

// The description of a demo subscriber, if it has one, stored into its
// record (saved by the caller), and its pictures into dir/grafika.
bool addDemoDescription(SubscriberDatabase& db, Sbscrbr& s, const std::string& dir);

} // namespace k4::admin
