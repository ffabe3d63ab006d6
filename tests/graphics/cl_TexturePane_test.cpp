#include "graphics/cl_TexturePane.h"

#include "support/HeadlessOgre.h"

#include <gtest/gtest.h>

#include <OgreHardwareVertexBuffer.h>

#include <vector>

namespace
{
// The floats of one of the pane's vertex sources, in vertex order.
std::vector<float> Read(cl_TexturePane& pane, unsigned short source)
{
    Ogre::RenderOperation operation;
    pane.getRenderOperation(operation);
    const Ogre::HardwareVertexBufferSharedPtr& buffer =
        operation.vertexData->vertexBufferBinding->getBuffer(source);
    std::vector<float> values(buffer->getSizeInBytes() / sizeof(float));
    buffer->readData(0, buffer->getSizeInBytes(), values.data());
    return values;
}

class TexturePane : public testing::Test
{
protected:
    HeadlessOgre m_ogre;
};
} // namespace

TEST_F(TexturePane, IsAStripOfFourCornersFromTheOriginTowardNegativeXAndY)
{
    cl_TexturePane pane(40.0f, 30.0f);
    Ogre::RenderOperation operation;
    pane.getRenderOperation(operation);
    EXPECT_EQ(operation.operationType, Ogre::RenderOperation::OT_TRIANGLE_STRIP);
    EXPECT_FALSE(operation.useIndexes);
    EXPECT_EQ(operation.vertexData->vertexCount, 4u);
    EXPECT_EQ(Read(pane, 0), (std::vector<float>{0, 0, 0, 0, -30, 0, -40, 0, 0, -40, -30, 0}));
    EXPECT_EQ(Read(pane, 1), (std::vector<float>{0, 0, 0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(pane.getBoundingBox(), Ogre::AxisAlignedBox(-40, -30, 0, 0, 0, 0));
}

TEST_F(TexturePane, TakesTextureCoordinatesInCornerOrder)
{
    cl_TexturePane pane(1.0f, 1.0f);
    pane.SetRect(0.25f, 0.5f, 0.75f, 1.0f);
    EXPECT_EQ(Read(pane, 1), (std::vector<float>{0.25f, 0.5f, 0.25f, 1.0f, 0.75f, 0.5f, 0.75f, 1.0f}));
}

TEST_F(TexturePane, ANegativeSizeStillGivesAProperBox)
{
    cl_TexturePane pane(-10.0f, 20.0f);
    EXPECT_EQ(pane.getBoundingBox(), Ogre::AxisAlignedBox(0, -20, 0, 10, 0, 0));
}

TEST_F(TexturePane, StartsWhiteUnpickableAndInTheFirstViewOnly)
{
    cl_TexturePane pane(1.0f, 1.0f);
    EXPECT_EQ(pane.getMaterial()->getName(), "BaseWhiteNoLighting");
    EXPECT_EQ(pane.getQueryFlags(), 0u);
    EXPECT_EQ(pane.getVisibilityFlags(), 1u);
    EXPECT_EQ(pane.getBoundingRadius(), 0.0f);
    EXPECT_EQ(pane.GetPriority(), 100);
}
