#include "RenderCommand.h"
int RenderCommand::run(const QStringList&) { return 1; }
QString RenderCommand::help() { return QString(); }
