// The observable values compiled into the framework library for its plug-ins.
#include "qlxrapi/Dynamic.h"

template class Dynamic<int>;
template class Dynamic<float>;
template class Dynamic<double>;
