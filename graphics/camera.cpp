#include "graphics/camera.hpp"

#include "objects/random.hpp"
#include "objects/resource_manager.hpp"

#include <GL/glew.h>

mat4 lookAt(vec3 eye, vec3 target, vec3 up) {
    vec3 f = normalize(target - eye);
    vec3 s = normalize(cross(f, up));
    vec3 u = cross(s, f);
    mat4 r = mat4::identity();
    // Column-major: element [column * 4 + row].
    r[0] = s.x;
    r[4] = s.y;
    r[8] = s.z;
    r[1] = u.x;
    r[5] = u.y;
    r[9] = u.z;
    r[2] = -f.x;
    r[6] = -f.y;
    r[10] = -f.z;
    r[12] = -dot(s, eye);
    r[13] = -dot(u, eye);
    r[14] = dot(f, eye);
    return r;
}

mat4 orthographic(float left, float right, float bottom, float top, float zNear, float zFar) {
    mat4 r = mat4::identity();
    r[0] = 2.0f / (right - left);
    r[5] = 2.0f / (top - bottom);
    r[10] = -2.0f / (zFar - zNear);
    r[12] = -(right + left) / (right - left);
    r[13] = -(top + bottom) / (top - bottom);
    r[14] = -(zFar + zNear) / (zFar - zNear);
    return r;
}

Camera::Camera(vec3 eye, vec3 forward, vec3 upDirection, float nearPlane, float farPlane, float zoomHeight)
    : front(forward), up(upDirection), position(eye), near(nearPlane), far(farPlane), zoom(zoomHeight) {
    Recompute();
}

void Camera::Recompute() {
    view = lookAt(position, position + front, up);
    float halfWidth = zoom * halfWidthFactor;
    float halfHeight = zoom * halfHeightFactor;
    projection = orthographic(-halfWidth, halfWidth, -halfHeight, halfHeight, near, far);
}

void Camera::Apply(ShaderProgram* program) const {
    if (program == nullptr) {
        return;
    }
    glUseProgram(program->id);
    program->setMatrix("view", view.data());
    program->setMatrix("projection", projection.data());
}

void Camera::StartShake() {
    if (shakeTime > 0.0f) {
        return;
    }
    shakeBase = position;
    shakeTime = 0.4f;
    shakeTick = 0.0f;
    shakeMagnitude = 1.5f;
    shakeScale = 1.0f;
}

vec3 Camera::UpdateShake(float step) {
    if (shakeTime <= 0.0f) {
        return {0, 0, 0};
    }
    if (step > 0.0f) {
        shakeTick += step;
        if (shakeTick >= 0.01f) {
            // The shake only shows: it draws from the effects' generator, never the game's.
            float r1 = static_cast<float>(effectsRand()) / 32767.0f;
            float r2 = static_cast<float>(effectsRand()) / 32767.0f;
            position.x = shakeMagnitude * shakeScale * (2.0f * r1 - 1.0f) + shakeBase.x;
            position.y = shakeMagnitude * shakeScale * (2.0f * r2 - 1.0f) + shakeBase.y;
            shakeTick = 0.0f;
            shakeMagnitude *= 0.99f;
        }
        shakeTime -= step;
        if (shakeTime <= 0.0f) {
            position = shakeBase;
        }
    }
    Recompute();
    return position - shakeBase;
}
