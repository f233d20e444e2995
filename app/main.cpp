#include "formruntime.h"
#include "identity.h"
#include "playalong.h"
#include "singleboard.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    runtime::applyIdentity(layouts::identity);
    playalong::install();
    return runtime::FormRuntime::instance().run(SingleBoard::instance());
}
