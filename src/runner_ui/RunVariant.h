#pragma once

namespace kivo {

// Which program the run window belongs to: the player's window has no
// caption and a fixed single border, the editor's is a tool window "Form3".
enum class RunVariant { Editor, Player };

}  // namespace kivo
