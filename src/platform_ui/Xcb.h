#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace kivo::xcb {

// xcb hands replies and events out with malloc; these free them.
struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

inline xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Up to `length` 32-bit units of a window's property, if it has one of `type`.
inline Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                                xcb_atom_t type, uint32_t length = 1024) {
  return Reply<xcb_get_property_reply_t>(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, length), nullptr));
}

inline xcb_window_t rootOf(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// Everything asked for before it has been done by the server.
inline void roundTrip(xcb_connection_t* c) {
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace kivo::xcb
