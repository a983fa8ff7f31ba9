#include "linux/audio/pulse_stream_identity.h"

#include <pulse/proplist.h>

#include "linux/desktop/desktop_id.h"

namespace tav {
namespace {

bool HasProperty(GstElement* element, const char* name) {
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

// pulsesink names its server stream after "stream-properties" and its client "client-name".
void Label(GstElement* element) {
    if (!HasProperty(element, "stream-properties")) {
        return;
    }
    GstStructure* properties =
        gst_structure_new("properties", PA_PROP_MEDIA_ROLE, G_TYPE_STRING, kStreamRole,
                          PA_PROP_APPLICATION_NAME, G_TYPE_STRING, kStreamApplicationName,
                          PA_PROP_APPLICATION_ICON_NAME, G_TYPE_STRING, kDesktopId, nullptr);
    g_object_set(element, "stream-properties", properties, nullptr);
    gst_structure_free(properties);
    if (HasProperty(element, "client-name")) {
        g_object_set(element, "client-name", kStreamApplicationName, nullptr);
    }
}

void LabelTree(GstElement* element) {
    Label(element);
    if (!GST_IS_BIN(element)) {
        return;
    }
    GstIterator* children = gst_bin_iterate_recurse(GST_BIN(element));
    GValue child = G_VALUE_INIT;
    while (gst_iterator_next(children, &child) == GST_ITERATOR_OK) {
        Label(GST_ELEMENT(g_value_get_object(&child)));
        g_value_reset(&child);
    }
    g_value_unset(&child);
    gst_iterator_free(children);
}

void OnElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
    LabelTree(element);
}

}  // namespace

void LabelPlayerStream(GstElement* pipeline) {
    LabelTree(pipeline);
    g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(OnElementAdded), nullptr);
}

}  // namespace tav
