#include "compositor_app.h"

int main(int argc, char** argv) {
  tessarin::CompositorApp app(argc, argv);
  return app.Run();
}
