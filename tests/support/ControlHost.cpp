#include "ControlHost.h"

#include <cstdlib>

namespace kestrix {

ControlHost::ControlHost(CRect rect) {
  container.CreateEx(0, WS_VISIBLE, CRect(0, 0, 800, 600), nullptr);
  ctrl = std::make_unique<CKestrixCtrl>(library);
  ctrl->ResetProperties();
  ctrl->CreateControlWindow(&container, rect);
}

ControlHost::~ControlHost() {
  ctrl.reset();
  container.DestroyWindow();
}

void ControlHost::SetLines(std::initializer_list<std::string> lines) {
  CKestrixCtrl& c = *ctrl;
  c.ResetLines();
  int n = 0;
  for (const std::string& line : lines) {
    if (++n > 1) c.NewLine(n, FALSE);
    c.m_LineText = line;
    c.m_LineLength = static_cast<int>(line.size());
    c.StoreLine();
  }
  c.m_CharIndex = 0;
  c.GotoLine(1);
}

std::string TestOutputPath(const std::string& fileName) {
  const char* dir = std::getenv("KESTRIX_TEST_OUTPUT");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + fileName;
}

}  // namespace kestrix
