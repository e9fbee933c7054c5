#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

namespace kivo::xcb {

// xcb hands replies and events out with malloc; these free them.
struct FreeReply {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;
using PropertyReply = Reply<xcb_get_property_reply_t>;

inline xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
  const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// Up to `length` 32-bit units of a window's property, if it has one of
// `type`; asked first and taken later, reads go out together.
inline xcb_get_property_cookie_t askProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                             xcb_atom_t type, uint32_t length = 1024) {
  return xcb_get_property(c, 0, window, name, type, 0, length);
}
inline PropertyReply takeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
  return PropertyReply(xcb_get_property_reply(c, cookie, nullptr));
}
inline PropertyReply property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                              xcb_atom_t type, uint32_t length = 1024) {
  return takeProperty(c, askProperty(c, window, name, type, length));
}

// The 32-bit values of a property of `type`, or none.
inline std::vector<uint32_t> values(const PropertyReply& reply, xcb_atom_t type) {
  if (!reply || reply->format != 32 || reply->type != type) return {};
  const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

inline xcb_window_t rootOf(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// A message about `window` to the window manager.
inline void sendToManager(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                          std::initializer_list<uint32_t> data = {}) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = type;
  int i = 0;
  for (uint32_t d : data) event.data.data32[i++] = d;
  xcb_send_event(c, 0, rootOf(c), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
}

// Asks the manager to write the frame that it would give `window` into
// the window's _NET_FRAME_EXTENTS.
inline void requestFrameExtents(xcb_connection_t* c, xcb_window_t window) {
  sendToManager(c, window, internAtom(c, "_NET_REQUEST_FRAME_EXTENTS"));
}

// Everything asked for before it has been done by the server.
inline void roundTrip(xcb_connection_t* c) {
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace kivo::xcb
