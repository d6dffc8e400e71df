#include "compositor_app.h"
#include "partial_files.h"

int main(int argc, char** argv) {
  tessarin::RemovePartialFilesOnTermination();
  tessarin::CompositorApp app(argc, argv);
  return app.Run();
}
