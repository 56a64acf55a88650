#include "app/form1.h"
#include "platform/application.h"

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TForm1 form;
    form.show();
    return app.exec();
}
