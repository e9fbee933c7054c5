#include "editor/Editor.h"
#include "platform_ui/ProgramMain.h"
#include "store/Store.h"

namespace {

struct EditorProgram {
  EditorProgram(kivo::Host& host, kivo::Clock& clock) : editor(store, host, clock) {
    editor.start();
  }
  kivo::Store store;
  kivo::Editor editor;
};

}  // namespace

int main(int argc, char* argv[]) {
  return kivo::programMain(argc, argv, "kivo", nullptr, [](kivo::Host& host, kivo::Clock& clock) {
    return std::make_shared<EditorProgram>(host, clock);
  });
}
